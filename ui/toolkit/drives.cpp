#include "drives.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "base/scope_exit.h"
#include "drives_seam.h"
#include "side_thread.h"
#include "win32/path.h"
#include "win32/unique_handle.h"
#include "window_text.h"

namespace vemo::ui::drives {
namespace {

// Remembered current folder per drive letter A..Z ("" when none yet).
std::array<std::string, 26>& Remembered() {
  static std::array<std::string, 26> folders;
  return folders;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// What Windows is handed for a full path: its literal form (win32/path.h).
std::wstring ApiPath(const std::string& fullPath) { return win32::LiteralPath(ToWide(fullPath)); }

DWORD Attributes(const std::string& path) { return GetFileAttributesW(ApiPath(path).c_str()); }

bool IsFolder(const std::string& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path) {
  std::wstring full = win32::FullPath(ToWide(path));
  if (full.empty()) throw FolderError("The folder \"" + path + "\" does not exist");
  return ToUtf8(full);
}

// Splits "C:\a\b" into "C:\" and the names "a", "b" (empty names dropped).
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  std::string name;
  for (size_t i = 3; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '\\' || folder[i] == '/') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name += folder[i];
    }
  }
  return names;
}

// Each name of an existing path as the file system stores it.
std::string StoredCase(const std::string& full) {
  std::string result = full.substr(0, 3);
  for (const std::string& name : Names(full)) {
    std::string next = Join(result, name);
    WIN32_FIND_DATAW data;
    const UniqueFind find(FindFirstFileW(ApiPath(next).c_str(), &data));
    if (find.Valid() && SamePath(ToUtf8(data.cFileName), name))
      next = Join(result, ToUtf8(data.cFileName));
    result = next;
  }
  return result;
}

std::string Parent(const std::string& folder) {
  size_t cut = folder.find_last_of('\\');
  if (cut == std::string::npos || cut < 3) return folder.substr(0, 3);
  return folder.substr(0, cut);
}

bool NamesDriveLetter(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && UpperLetter(path[0]);
}

}  // namespace

char UpperLetter(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return c;
  return 0;
}

std::string Letters() {
  std::string letters;
  DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i)
    if (mask & (1u << i)) letters += static_cast<char>('A' + i);
  return letters;
}

char ProcessDrive() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring current(size, L'\0');
  size = GetCurrentDirectoryW(size, current.data());
  if (size >= 2 && current[1] == L':' && current[0] < 128) {
    char letter = UpperLetter(static_cast<char>(current[0]));
    if (letter) return letter;
  }
  return 'C';
}

unsigned DriveType(char letter) {
  char upper = UpperLetter(letter);
  if (!upper) return DRIVE_NO_ROOT_DIR;
  return GetDriveTypeW(ToWide(std::string(1, upper) + ":\\").c_str());
}

std::optional<std::string> ProbeVolume(char letter) {
  wchar_t label[MAX_PATH + 1] = L"";
  std::wstring root = ToWide(std::string(1, UpperLetter(letter)) + ":\\");
  if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                             0))
    return std::nullopt;
  return ToUtf8(label);
}

namespace {

using Clock = std::chrono::steady_clock;

// The questions to the drives' volumes and their answers, for the whole program.
struct Volumes {
  std::mutex mutex;
  std::condition_variable answered;
  DriveProbe probe = ProbeVolume;
  std::string alsoProbed;
  DriveClock clock = Clock::now;
  std::function<void(char)> listener;
  struct Answer {
    std::string label;  // "" when not ready
    bool ready = false;
    Clock::time_point at;  // when it came (by `clock`)
  };
  std::map<char, Answer> latest;             // the last answer per letter
  std::map<char, Clock::time_point> asking;  // open questions, since when (by `clock`)
  std::map<char, unsigned> answers;          // answers so far, per letter
  std::map<char, unsigned> told;             // of them, those whose listener has been called
  // Questions whose thread has not yet told its listener (side threads: one that never answers
  // is left to the process's end).
  unsigned running = 0;
};

Volumes& TheVolumes() {
  static Volumes* volumes = new Volumes;  // never destroyed: a question may outlive every static
  return *volumes;
}

}  // namespace

void SetDriveProbe(DriveProbe probe, const std::string& alsoProbed) {
  std::lock_guard<std::mutex> lock(TheVolumes().mutex);
  TheVolumes().probe = probe ? std::move(probe) : ProbeVolume;
  TheVolumes().alsoProbed = alsoProbed;
}

void SetDriveClock(DriveClock clock) {
  std::lock_guard<std::mutex> lock(TheVolumes().mutex);
  TheVolumes().clock = clock ? std::move(clock) : DriveClock(Clock::now);
}

void SetVolumeListener(std::function<void(char)> listener) {
  std::lock_guard<std::mutex> lock(TheVolumes().mutex);
  TheVolumes().listener = std::move(listener);
}

void AskVolume(char letter) {
  Volumes& volumes = TheVolumes();
  std::unique_lock<std::mutex> lock(volumes.mutex);
  if (!volumes.asking.emplace(letter, volumes.clock()).second) return;
  ++volumes.running;
  DriveProbe probe = volumes.probe;
  lock.unlock();
  const bool started = StartSideThread([letter, probe = std::move(probe), &volumes] {
    std::optional<std::string> label;
    try {
      label = probe(letter);
    } catch (...) {  // a drive that cannot be asked is not ready
    }
    std::function<void(char)> listener;
    {
      std::lock_guard<std::mutex> lock(volumes.mutex);
      volumes.latest[letter] = {label.value_or(std::string()), label.has_value(), volumes.clock()};
      volumes.asking.erase(letter);
      ++volumes.answers[letter];
      listener = volumes.listener;
    }
    volumes.answered.notify_all();
    const ScopeExit told([&] {  // also when the listener throws (the side thread reports it)
      {
        std::lock_guard<std::mutex> lock(volumes.mutex);
        ++volumes.told[letter];
        --volumes.running;
      }
      volumes.answered.notify_all();
    });
    if (listener) listener(letter);
  });
  if (!started) {  // asked again at the next look
    lock.lock();
    volumes.asking.erase(letter);
    --volumes.running;
  }
}

bool JoinQuestions(std::chrono::milliseconds within) {
  Volumes& volumes = TheVolumes();
  std::unique_lock<std::mutex> lock(volumes.mutex);
  return volumes.answered.wait_for(lock, within, [&] { return volumes.running == 0; });
}

bool AwaitAnswers(char letter, unsigned count, std::chrono::milliseconds within) {
  Volumes& volumes = TheVolumes();
  std::unique_lock<std::mutex> lock(volumes.mutex);
  return volumes.answered.wait_for(lock, within, [&] { return volumes.told[letter] >= count; });
}

void ResetDriveProbe(std::chrono::milliseconds within) {
  JoinQuestions(within);
  Volumes& volumes = TheVolumes();
  std::lock_guard<std::mutex> lock(volumes.mutex);
  volumes.probe = ProbeVolume;
  volumes.alsoProbed.clear();
  volumes.clock = Clock::now;
  volumes.latest.clear();
  volumes.asking.clear();
  volumes.answers.clear();
  volumes.told.clear();
}

bool Asking(char letter) {
  std::lock_guard<std::mutex> lock(TheVolumes().mutex);
  return TheVolumes().asking.count(letter) != 0;
}

unsigned Answers(char letter) {
  std::lock_guard<std::mutex> lock(TheVolumes().mutex);
  return TheVolumes().answers[letter];
}

std::optional<std::string> KnownLabel(char letter) {
  std::lock_guard<std::mutex> lock(TheVolumes().mutex);
  auto known = TheVolumes().latest.find(letter);
  if (known == TheVolumes().latest.end()) return std::nullopt;
  return known->second.label;
}

namespace {

bool Probed(char letter) {
  const unsigned type = DriveType(letter);
  if (type != DRIVE_FIXED && type != DRIVE_RAMDISK) return true;
  std::lock_guard<std::mutex> lock(TheVolumes().mutex);
  return TheVolumes().alsoProbed.find(letter) != std::string::npos;
}

// A probed drive's state: asks it afresh, and waits for that answer until kReadyWaitMs after
// the question was put (a question open longer than that gives no wait at all), unless an
// answer of the last kReadyFor already says "ready".
Readiness AskedReadiness(char letter) {
  Volumes& volumes = TheVolumes();
  unsigned before;
  bool readyLately;
  {
    std::lock_guard<std::mutex> lock(volumes.mutex);
    auto known = volumes.latest.find(letter);
    readyLately = known != volumes.latest.end() && known->second.ready &&
                  volumes.clock() - known->second.at < kReadyFor;
    before = volumes.answers[letter];
  }
  AskVolume(letter);
  if (readyLately) return Readiness::Ready;
  std::unique_lock<std::mutex> lock(volumes.mutex);
  auto open = volumes.asking.find(letter);
  if (open != volumes.asking.end()) {
    const auto left = std::chrono::milliseconds(kReadyWaitMs) - (volumes.clock() - open->second);
    if (left > Clock::duration::zero())
      volumes.answered.wait_for(lock, left, [&] { return volumes.answers[letter] != before; });
    open = volumes.asking.find(letter);
  }
  auto known = volumes.latest.find(letter);
  const bool saysReady = known != volumes.latest.end() && known->second.ready;
  // An answer to this question decides.
  if (volumes.answers[letter] != before || open == volumes.asking.end())
    return saysReady ? Readiness::Ready : Readiness::NotReady;
  if (known != volumes.latest.end() && !saysReady) return Readiness::NotReady;
  return volumes.clock() - open->second < kAnswerWithin ? Readiness::Asking : Readiness::NotReady;
}

}  // namespace

Readiness DriveReadiness(char letter) {
  letter = UpperLetter(letter);
  if (!letter) return Readiness::NotReady;
  if (Probed(letter)) {
    const Readiness asked = AskedReadiness(letter);
    if (asked != Readiness::Ready) return asked;
  }
  return IsFolder(std::string(1, letter) + ":\\") ? Readiness::Ready : Readiness::NotReady;
}

bool IsReady(char letter) { return DriveReadiness(letter) == Readiness::Ready; }

std::string CurrentFolder(char letter) {
  char upper = UpperLetter(letter);
  if (!upper) throw FolderError("\"" + std::string(1, letter) + "\" is no drive letter");
  std::string root = std::string(1, upper) + ":\\";
  if (!IsReady(upper)) throw FolderError("Drive " + std::string(1, upper) + ": is not ready");
  std::string& remembered = Remembered()[upper - 'A'];
  if (remembered.empty()) {
    // The process's own current folder of that drive ("X:" alone resolves to it).
    std::string held = FullPath(std::string(1, upper) + ":");
    remembered = IsFolder(held) ? StoredCase(std::string(1, upper) + held.substr(1)) : root;
  }
  if (!IsFolder(remembered)) remembered = root;
  return remembered;
}

void RememberFolder(const std::string& folder) {
  char upper = folder.size() >= 3 ? UpperLetter(folder[0]) : 0;
  if (upper) Remembered()[upper - 'A'] = folder;
}

std::string ResolveFolder(const std::string& path) {
  if (!NamesDriveLetter(path)) throw FolderError("The folder \"" + path + "\" lies on no drive");
  char upper = UpperLetter(path[0]);
  std::string absolute = path;
  if (path.size() == 2 || (path[2] != '\\' && path[2] != '/'))
    absolute = Join(CurrentFolder(upper), path.substr(2));  // drive-relative
  if (!IsReady(upper)) throw FolderError("Drive " + std::string(1, upper) + ": is not ready");
  std::string full = FullPath(absolute);
  if (full.size() < 3 || full[1] != ':')
    throw FolderError("The folder \"" + path + "\" does not exist");
  full[0] = upper;
  DWORD attributes = Attributes(full);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    throw FolderError("The folder \"" + path + "\" does not exist");
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) full = Parent(full);  // a file: its folder
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  return StoredCase(full);
}

std::vector<std::string> SubFolders(const std::string& folder, const std::atomic<bool>* stop) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  const std::wstring pattern = ApiPath(Join(folder, "*"));
  // Folders alone where the file system filters them; no short names; large batches.
  HANDLE find =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchLimitToDirectories,
                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
    find = FindFirstFileW(pattern.c_str(), &data);  // a system without those
  const UniqueFind search(find);
  if (!search.Valid()) return names;
  do {
    if (stop && *stop) break;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    std::string name = ToUtf8(data.cFileName);
    if (name == "." || name == "..") continue;
    names.push_back(name);
  } while (FindNextFileW(find, &data));
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y));
    });
  });
  return names;
}

std::vector<std::string> Chain(const std::string& folder) {
  std::vector<std::string> chain{folder.substr(0, 3)};
  for (const std::string& name : Names(folder)) chain.push_back(Join(chain.back(), name));
  return chain;
}

std::string LastName(const std::string& folder) {
  if (folder.size() <= 3) return folder;
  size_t cut = folder.find_last_of('\\');
  return cut == std::string::npos ? folder : folder.substr(cut + 1);
}

}  // namespace vemo::ui::drives
