// The folder list: an owner-drawn list box that shows one current folder as the chain of
// folders from its drive's root down to it, followed by its sub-folders, indented, each with
// a folder glyph. A double click or Enter opens the selected entry. The chain shows at once;
// the sub-folders follow as soon as they are listed (after the current handler, and off the
// user-interface thread when the folder is a big one: sub_folder_listing.h).
//
// Requests from code (SetDirectory, SetDrive) either move the list or throw
// drives::FolderError and leave it as it was. OnChange runs exactly when the current folder
// changes, by the user or by a request; a request for what the list already shows runs nothing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control.h"
#include "sub_folder_listing.h"

namespace vemo::ui {

class FolderList : public WinControl {
 public:
  std::function<void()> OnChange;

  // Starts at the process's current folder.
  FolderList();
  void Create(WinControl& parent, const Layout& layout);
  bool TabStop() const override { return true; }
  void Relayout() override;

  // The current folder, a full path with an upper-case drive letter ("C:\" for a root).
  const std::string& Directory() const { return directory_; }
  // Moves to a folder; a path naming a file moves to the folder that holds it.
  void SetDirectory(const std::string& path);
  // The current folder's drive, upper case.
  char Drive() const { return directory_.empty() ? 0 : directory_[0]; }
  // Moves to that drive's current folder; nothing when the list shows that drive already.
  void SetDrive(char letter);

  // What the list shows: the full path of each entry and its indent level.
  int EntryCount() const { return static_cast<int>(entries_.size()); }
  const std::string& EntryPath(int index) const { return entries_[index].path; }
  int EntryDepth(int index) const { return entries_[index].depth; }
  // True while the current folder's sub-folders are still being listed.
  bool Listing() const { return listingDue_; }
  int SelectedEntry() const;
  void SelectEntry(int index);
  // Opens an entry as a double click on it does.
  void OpenEntry(int index);

  bool Reflect(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  struct Entry {
    std::string path;
    std::string name;
    int depth;
    bool open;  // one of the chain down to the current folder
  };

  void MoveTo(const std::string& folder);
  void Fill();
  void StartListing();
  void Listed();  // the sub-folders, after the chain
  void AddItems(size_t from);
  void PlaceTop();
  void Draw(const DRAWITEMSTRUCT& item);
  // Enter opens the selected entry instead of pressing the form's default button.
  bool SubclassMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

  std::string directory_;
  std::vector<Entry> entries_;
  int currentIndex_ = 0;
  std::unique_ptr<SubFolderListing> listing_;
  bool listingDue_ = false;
  unsigned fills_ = 0;  // the listing started for the last Fill alone
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int placedTop_ = -1;  // the top row that PlaceTop left (the user has not scrolled since)
};

}  // namespace vemo::ui
