// The sub-folders of one folder, listed on a thread of their own. The system lists a folder's
// folders only together with its files (where it cannot filter them), so a folder of a million
// files takes seconds; the user-interface thread waits for the names no longer than it chooses
// and is handed them through App().Post when they come later.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vemo::ui {

class SubFolderListing {
 public:
  explicit SubFolderListing(const std::string& folder);  // starts the listing
  // Abandons the listing: its thread stops at its next entry and WhenDone's closure never runs.
  ~SubFolderListing();
  SubFolderListing(const SubFolderListing&) = delete;
  SubFolderListing& operator=(const SubFolderListing&) = delete;

  // Waits at most ms for the names; true when they are there.
  bool Wait(int ms);
  // Runs done on the user-interface thread once the names are there, unless the listing is
  // abandoned first. User-interface thread.
  void WhenDone(std::function<void()> done);
  // The names as drives::SubFolders gives them, once they are there.
  std::vector<std::string> TakeNames();

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// What lists the sub-folders (tests replace it; an empty function restores drives::SubFolders).
using SubFolderSource = std::function<std::vector<std::string>(const std::string& folder,
                                                               const std::atomic<bool>& stop)>;
void SetSubFolderSource(SubFolderSource source);

}  // namespace vemo::ui
