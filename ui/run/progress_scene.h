// The animation played on the progress window's real images by the main window's Timer1.
#pragma once

#include "run/animation.h"

namespace vemo {

// The scene's state for the whole process (a run goes on where the previous one left it).
AnimationState& SceneState();

// Timer1's tick, and the mouse held down on / released from Folder 1's folder.
void Timer1Timer();
void ImFolder1MouseDown();
void ImFolder1MouseUp();

}  // namespace vemo
