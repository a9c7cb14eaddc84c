// The progress window's little scene: a walker pulls Folder 1's folder across to Folder 2's,
// marks both and reacts to the run's error count. Window-free: the scene is played through
// AnimationHost, which the progress window implements on its real images and the main
// window's Timer1, and which tests implement in memory.
#pragma once

#include <string>

namespace vemo {

// The images the timer moves, re-pictures, shows or hides.
enum class Sprite { Image1, ImFolder1, ImChk1, ImChk2 };

// The hidden store images whose pictures are copied into a sprite.
enum class StorePicture {
  Image2,
  Image3,
  Image4,  // walker facing left: step A, step B, standing
  Image5,
  Image6,
  Image7,  // walker with the rope facing right: step A, step B, standing
  ImFolder12,
  ImFolder13,   // walker working the rope at the folder (two frames)
  ImFolder14,   // folder with the rope tied on
  ImFolderOrg,  // plain folder
  ImageOrg,     // walker standing, facing right
  ImJp1,
  ImJp2,  // standing facing the viewer, jumping for joy
  ImBatsu,
  ImCheck,  // cross, check mark
  ImNaki1,
  ImNaki2,  // crying
  ImAse1,
  ImAse2,
  ImAse3,
  ImAse4,  // sweat drop growing
};

// Scene numbers; a lost folder adds kLostFolder to the pulling scene and its successors.
enum Scene : int {
  SceneWalkLeft = 0,
  SceneTieRope = 1,
  ScenePull = 2,
  SceneTurn = 3,
  SceneUntie = 4,
  SceneInspect = 5,
  SceneReact = 6,
  SceneRest = 7,
  SceneWalkOnAlone = 102,
  SceneMissFolder = 103,
  SceneSweat = 104,
  SceneRunBack = 105,
  SceneRetie = 106,
  SceneResume = 107,
};
constexpr int kLostFolder = 100;

// Lives for the whole process; a run continues the cycle where the previous one left it.
struct AnimationState {
  int walkerX = 352;   // the walker's logical left edge
  int walkerDir = -1;  // -1 left, +1 right; a step is 4 pixels
  int scene = SceneWalkLeft;
  int sceneFrame = 0;
  int titleTicks = 0;
  int animTicks = 0;
  int dropX = 0;       // walkerX where the folder was lost
  int folderHeld = 0;  // 1 while a mouse button is down on ImFolder1
};

// What one timer tick may touch: the scene's images, the timer itself and the run's figures.
class AnimationHost {
 public:
  virtual ~AnimationHost() = default;
  virtual int Left(Sprite sprite) const = 0;
  virtual void SetLeft(Sprite sprite, int x) = 0;
  virtual void SetPicture(Sprite sprite, StorePicture picture) = 0;
  virtual void SetVisible(Sprite sprite, bool visible) = 0;

  virtual unsigned TimerInterval() const = 0;
  virtual void SetTimerInterval(unsigned ms) = 0;
  virtual void DisableTimer() = 0;

  virtual bool AnimationOn() const = 0;  // the main window's Animation menu check
  virtual int ErrorCount() const = 0;
  virtual bool RunFinished() const = 0;
  virtual void ClearRunFinished() = 0;
  virtual std::string TitleText() const = 0;
  virtual void SetApplicationTitle(const std::string& title) = 0;

  virtual int NextRandom() = 0;  // the C library's generator, 0..32767
};

// One tick of Timer1: the title every third tick, an animation step every second tick.
void TimerTick(AnimationState& state, AnimationHost& host);

// One animation step of the current scene.
void AnimationStep(AnimationState& state, AnimationHost& host);

inline void FolderMouseDown(AnimationState& state) { state.folderHeld = 1; }
inline void FolderMouseUp(AnimationState& state) { state.folderHeld = 0; }

}  // namespace vemo
