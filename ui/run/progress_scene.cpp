#include "ui/run/progress_scene.h"

#include <climits>
#include <cstdlib>

#include "engine/run_state.h"
#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {
namespace {

// The scene's host on the progress window's images and the main window's timer and menu.
class WindowScene : public AnimationHost {
 public:
  int Left(Sprite s) const override { return Sprite(s).Left(); }
  void SetLeft(Sprite s, int x) override { Sprite(s).SetLeft(x); }
  void SetPicture(Sprite s, StorePicture p) override {
    Sprite(s).SetPicture(Store(p).GetPicture());
  }
  void SetVisible(Sprite s, bool visible) override { Sprite(s).SetVisible(visible); }

  unsigned TimerInterval() const override { return Form1->Timer1.Interval(); }
  void SetTimerInterval(unsigned ms) override { Form1->Timer1.SetInterval(ms); }
  void DisableTimer() override { Form1->Timer1.SetEnabled(false); }

  bool AnimationOn() const override { return Form1->AnimationA1.Checked(); }
  int ErrorCount() const override {
    const int64_t errors = SharedRunState().errorCount;
    return errors > INT_MAX ? INT_MAX : int(errors);
  }
  bool RunFinished() const override { return SharedRunState().runFinished != 0; }
  void ClearRunFinished() override { SharedRunState().runFinished = 0; }
  std::string TitleText() const override { return SharedRunState().titleText.Get(); }
  void SetApplicationTitle(const std::string& title) override { ui::App().SetTitle(title); }
  int NextRandom() override { return std::rand(); }

 private:
  static ui::Image& Sprite(Sprite s) {
    switch (s) {
      case Sprite::Image1: return PBar->Image1;
      case Sprite::ImFolder1: return PBar->ImFolder1;
      case Sprite::ImChk1: return PBar->ImChk1;
      case Sprite::ImChk2: return PBar->ImChk2;
    }
    return PBar->Image1;
  }
  static const ui::Image& Store(StorePicture p) {
    using P = StorePicture;
    switch (p) {
      case P::Image2: return PBar->Image2;
      case P::Image3: return PBar->Image3;
      case P::Image4: return PBar->Image4;
      case P::Image5: return PBar->Image5;
      case P::Image6: return PBar->Image6;
      case P::Image7: return PBar->Image7;
      case P::ImFolder12: return PBar->ImFolder12;
      case P::ImFolder13: return PBar->ImFolder13;
      case P::ImFolder14: return PBar->ImFolder14;
      case P::ImFolderOrg: return PBar->ImFolderOrg;
      case P::ImageOrg: return PBar->ImageOrg;
      case P::ImJp1: return PBar->ImJp1;
      case P::ImJp2: return PBar->ImJp2;
      case P::ImBatsu: return PBar->ImBatsu;
      case P::ImCheck: return PBar->ImCheck;
      case P::ImNaki1: return PBar->ImNaki1;
      case P::ImNaki2: return PBar->ImNaki2;
      case P::ImAse1: return PBar->ImAse1;
      case P::ImAse2: return PBar->ImAse2;
      case P::ImAse3: return PBar->ImAse3;
      case P::ImAse4: return PBar->ImAse4;
    }
    return PBar->Image4;
  }
};

}  // namespace

AnimationState& SceneState() {
  static AnimationState state;
  return state;
}

void Timer1Timer() {
  WindowScene scene;
  TimerTick(SceneState(), scene);
}

void ImFolder1MouseDown() { FolderMouseDown(SceneState()); }
void ImFolder1MouseUp() { FolderMouseUp(SceneState()); }

}  // namespace vemo
