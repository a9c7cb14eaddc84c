// The machine's drives and folders as the drive box and the folder list see them.
// The current folder of each drive is kept here, for the whole program: the folder a list
// last showed on a drive is where that drive opens next time.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "win32/path.h"

namespace vemo::ui::drives {

// A drive that is not ready, or a folder that does not exist (the text says which).
class FolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The upper-case letter, or 0 when the character is no drive letter.
char UpperLetter(char c);

// The letters of the machine's drives, upper case, in alphabetical order (GetLogicalDrives:
// answers at once, whatever state the drives are in).
std::string Letters();
// The kind of drive (GetDriveTypeW: DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_REMOTE, DRIVE_CDROM...).
unsigned DriveType(char letter);
// The drive a program started in: the letter of the process's current folder ('C' otherwise).
char ProcessDrive();
// What is known of a drive: ready, not ready, or still being asked (a question is open and
// nothing has settled it yet).
enum class Readiness { Ready, NotReady, Asking };
// A fixed drive is ready when its root folder can be read. Any other drive (removable, optical,
// network) is asked through the drive probe, off the calling thread, and is
//  - ready at once when it answered "ready" within kReadyFor (a fresh question goes out in the
//    background, so the next call knows better);
//  - otherwise as the answer to a question says, when one comes within kReadyWaitMs of the
//    question (the caller waits no longer: the user-interface thread asks this);
//  - not ready when its latest answer says so, or when a question has had no answer for
//    kAnswerWithin;
//  - being asked in between (a drive that has never answered, or not for a long time).
// Each answer reaches the volume listener, so whatever waited for the drive can go on then.
Readiness DriveReadiness(char letter);
// DriveReadiness is Ready.
bool IsReady(char letter);
constexpr int kReadyWaitMs = 40;
constexpr std::chrono::seconds kReadyFor{60};
constexpr std::chrono::seconds kAnswerWithin{2};

// What the program learns of a drive by asking its volume: the label when the drive is ready,
// nothing when it is not. Such a question can take seconds, so it is asked off the calling
// thread, at most one question per letter at a time (a drive that never answers costs one
// thread).
using DriveProbe = std::function<std::optional<std::string>(char letter)>;
std::optional<std::string> ProbeVolume(char letter);  // the real one: GetVolumeInformationW
// Asks the probe about the drive unless a question about it is open already.
void AskVolume(char letter);
// The last answer about a drive: not there when none came yet; an empty label when the drive
// was not ready or has none.
std::optional<std::string> KnownLabel(char letter);
// Whether a question about the drive is still waiting for its answer.
bool Asking(char letter);
// Answers about the drive so far (each counted before its listener is called).
unsigned Answers(char letter);
// Called on a probe's thread after each answer, with the drive's letter (the drive box shows
// the labels, and the main window goes on with what waited for the drive).
void SetVolumeListener(std::function<void(char letter)> listener);

// The drive's current folder: the one last remembered for it, else the one the process
// holds for it; its root when that folder is gone. Throws when the drive is not ready.
std::string CurrentFolder(char letter);
// Remembers a full path as the current folder of its drive.
void RememberFolder(const std::string& folder);

// The full path (drive letter upper case, each name as stored on disk) of the folder that a
// path names; a path naming a file gives the folder that holds it. A drive-relative path
// ("D:sub") is taken from that drive's current folder. Throws when the path names no
// existing folder or file, or lies on no drive letter.
std::string ResolveFolder(const std::string& path);

// The names of the sub-folders of a folder, sorted without regard to case. The system is asked
// for folders alone where its file system can filter them. A set `stop` ends the listing at its
// next entry (the names are then incomplete).
std::vector<std::string> SubFolders(const std::string& folder,
                                    const std::atomic<bool>* stop = nullptr);

// The folders from the root down to the given folder: "C:\", "C:\a", "C:\a\b".
std::vector<std::string> Chain(const std::string& folder);
// The last name of a folder path ("b" for "C:\a\b", "C:\" for the root).
std::string LastName(const std::string& folder);
// Paths are joined and compared by the program's one path rule (win32/path.h).
using win32::Join;
using win32::SamePath;

}  // namespace vemo::ui::drives
