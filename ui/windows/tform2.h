// The Error Information window: the lines of the last comparison in a read-only text box that
// fills the window and follows its size.
//
// AppendLine and ClearLines may be called from any thread. Off the user-interface thread the
// lines gather in a batch that one posted closure appends whole, in order with everything
// else posted through App().Post; on the user-interface thread they take effect at once.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "ui/toolkit/form.h"
#include "ui/toolkit/memo.h"

namespace vemo {

class TForm2 : public ui::Form {
 public:
  TForm2();

  ui::Memo Memo1;

  void AppendLine(const std::string& line);
  void ClearLines();
  // The text as the window holds it (user-interface thread; pending lines included).
  std::vector<std::string> Lines();
  int LineCount();
  // Start of a run: shown and hidden again at once; the text is not touched.
  void ShowAndClose();
  // "Error Info...": the text box visible, the window modal until the user closes it.
  int ShowErrorInfo();

 private:
  void Flush();
  void QueueFlush();  // with mutex_ held
  std::mutex mutex_;
  std::vector<std::string> pending_;  // lines not yet in the text box
  bool clearPending_ = false;         // the text box is cleared before them
  bool flushQueued_ = false;
};

}  // namespace vemo
