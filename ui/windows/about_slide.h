// The About box's hidden animation, without windows: a slide of the icon and two labels over
// 50 ticks, then a scene in which the character switches poses. The step counter and the pose
// flag live for the whole process and are never reset.
#pragma once

namespace vemo {

struct AboutSlidePositions {
  int image1Top;
  int label2Left;
  int label3Left;
};

// Positions of one slide tick at counter c (50 down to 1); division truncates toward zero.
constexpr AboutSlidePositions AboutSlideAt(int c) {
  return {40 * c / 50 + 8, 128 - 32 * c / 50, 120 - 32 * c / 50};
}

constexpr unsigned kAboutClickInterval = 10;   // ms, set by a click on the name or the icon
constexpr unsigned kAboutSceneInterval = 800;  // ms between two poses

struct AboutAnimation {
  int counter = 50;  // slide ticks left
  int pose = 0;      // 0: first pose (ImChrL), 1: the other (ImChrR)

  struct Step {
    bool slide;                     // a slide tick (else a scene tick)
    AboutSlidePositions positions;  // slide tick: where the three controls go
    int pose;                       // scene tick: the new pose
  };

  // One timer tick.
  Step Tick() {
    if (counter > 0) {
      Step step{true, AboutSlideAt(counter), pose};
      --counter;
      return step;
    }
    pose = 1 - pose;
    return Step{false, AboutSlideAt(1), pose};
  }
};

}  // namespace vemo
