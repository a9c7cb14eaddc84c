#include "ui/main/folder_drop.h"

#include <string>

#include "engine/run_state.h"
#include "ui/main/folder_side.h"
#include "ui/main/settings_texts.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/drives.h"
#include "ui/toolkit/window_text.h"
#include "ui/windows/forms.h"

namespace vemo::mainwin {
namespace {

const unsigned kExclamationOk = 48;
const int kFolder1Result = 6;
const int kFolder2Result = 7;

// The drop data is released however the handler ends.
class DropData {
 public:
  explicit DropData(HDROP drop) : drop_(drop) {}
  ~DropData() { Release(); }
  DropData(const DropData&) = delete;
  DropData& operator=(const DropData&) = delete;

  UINT Count() const { return DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0); }
  // The whole path of an item, whatever its length and characters.
  std::string Path(UINT index) const {
    UINT length = DragQueryFileW(drop_, index, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    length = DragQueryFileW(drop_, index, path.data(), length + 1);
    path.resize(length);
    return ToUtf8(path);
  }
  void Release() {
    if (drop_) DragFinish(drop_);
    drop_ = nullptr;
  }

 private:
  HDROP drop_;
};

}  // namespace

void HandleDrop(HDROP drop) {
  DropData data(drop);
  int language = SharedRunState().language;
  if (data.Count() != 1) {
    data.Release();
    ui::App().MessageBox(DropRefusalText(language), "Vemo", kExclamationOk);
    return;
  }
  std::string path = data.Path(0);
  data.Release();

  auto& dialog = *DragDropMsg;
  dialog.Message.SetCaption(DropQuestionText(language));
  int result = dialog.ShowModal();
  int sideIndex;
  if (result == kFolder1Result) {
    sideIndex = 0;
  } else if (result == kFolder2Result) {
    sideIndex = 1;
  } else {
    return;  // Cancel: nothing changes
  }
  const FolderSide side = Side(sideIndex);
  // Errors end the moves silently. A dropped file: the list settles on its folder, and the edit
  // box names that folder, also where the list showed it already (and so told nothing).
  if (FollowPath(side, path, false) && !ui::drives::SamePath(side.list.Directory(), path))
    side.edit.SetText(side.list.Directory());
}

void BindDropHandler() {
  Form1->OnDropFiles = [](HDROP drop) { HandleDrop(drop); };
}

}  // namespace vemo::mainwin
