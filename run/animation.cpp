#include "run/animation.h"

namespace vemo {
namespace {

constexpr int kStep = 4;           // pixels per walker step
constexpr int kFolderHomeX = 128;  // Folder 1's folder at rest
constexpr int kTurnLeftX = 148;    // the walker stops here, next to Folder 1's folder
constexpr int kTurnRightX = 352;   // ... and here, next to Folder 2's folder
constexpr int kRopeLength = 32;    // the pulled folder follows this far behind
constexpr int kRestIntervalMs = 100;

// Standing, step A, standing, step B, by frame; facing the walking direction.
StorePicture WalkPicture(const AnimationState& s) {
  const bool left = s.walkerDir == -1;
  if (s.sceneFrame == 1) return left ? StorePicture::Image2 : StorePicture::Image5;
  if (s.sceneFrame == 3) return left ? StorePicture::Image3 : StorePicture::Image6;
  return left ? StorePicture::Image4 : StorePicture::Image7;
}

StorePicture MarkPicture(AnimationHost& host) {
  return host.ErrorCount() == 0 ? StorePicture::ImCheck : StorePicture::ImBatsu;
}

// Scenes 0 and 105: walking left, to the folder or back to the lost folder.
void WalkLeft(AnimationState& s, AnimationHost& host) {
  s.walkerX += kStep * s.walkerDir;
  if (s.scene == SceneRunBack && s.walkerX < s.dropX) {
    s.scene = SceneRetie;
    s.walkerDir = -s.walkerDir;
    s.sceneFrame = 0;
    host.SetTimerInterval(host.TimerInterval() * 2);
    return;
  }
  host.SetLeft(Sprite::Image1, s.walkerX);
  host.SetPicture(Sprite::Image1, WalkPicture(s));
  s.sceneFrame += 1;
  if (s.walkerX <= kTurnLeftX) {
    s.walkerDir = -s.walkerDir;
    s.sceneFrame = 0;
    s.scene += 1;
  }
  if (s.sceneFrame >= 4) s.sceneFrame = 0;
}

// Scenes 1, 4 and 106: the walker disappears into the folder image and works the rope.
void WorkRope(AnimationState& s, AnimationHost& host) {
  switch (s.sceneFrame) {
    case 0:
      if (s.scene == SceneRetie) host.SetLeft(Sprite::Image1, host.Left(Sprite::Image1) - kStep);
      break;
    case 1:
    case 2:
    case 5:
    case 6:
    case 9:
    case 10:
      host.SetVisible(Sprite::Image1, false);
      host.SetPicture(Sprite::ImFolder1, StorePicture::ImFolder13);
      break;
    case 3:
    case 4:
    case 7:
    case 8: host.SetPicture(Sprite::ImFolder1, StorePicture::ImFolder12); break;
    default: break;
  }
  if (s.sceneFrame <= 10) {
    s.sceneFrame += 1;
    return;
  }
  host.SetPicture(Sprite::ImFolder1,
                  s.scene == SceneUntie ? StorePicture::ImFolderOrg : StorePicture::ImFolder14);
  host.SetVisible(Sprite::Image1, true);
  s.walkerX += kStep * s.walkerDir;
  s.scene += 1;
  s.sceneFrame = 0;
}

// Scenes 2 and 102: walking right, pulling the folder (which may get lost) or without it.
void WalkRight(AnimationState& s, AnimationHost& host) {
  if (s.scene == ScenePull) {
    const int r = host.NextRandom();
    const int m = s.folderHeld == 1 ? 50 : 500;
    if (r % m == 15 && s.walkerX > 156 && s.walkerX < 312) {
      s.scene += kLostFolder;
      s.dropX = s.walkerX;
    }
  }
  if (s.scene > kLostFolder || s.folderHeld == 0) {  // a held folder makes the walker tread
    s.walkerX += kStep * s.walkerDir;
    host.SetLeft(Sprite::Image1, s.walkerX);
  }
  host.SetPicture(Sprite::Image1, WalkPicture(s));
  if (s.scene < kLostFolder && s.walkerX >= 156)
    host.SetLeft(Sprite::ImFolder1, s.walkerX - kRopeLength);
  s.sceneFrame += 1;
  if (s.walkerX >= kTurnRightX) {
    s.walkerDir = -s.walkerDir;
    s.sceneFrame = 0;
    s.scene += 1;
  }
  if (s.sceneFrame >= 4) s.sceneFrame = 0;
}

// Scenes 3 and 103: turning at the right end; after a loss the walker notices and sweats.
void Turn(AnimationState& s, AnimationHost& host) {
  const int frame = s.sceneFrame;
  switch (frame) {
    case 1: host.SetPicture(Sprite::Image1, StorePicture::Image4); break;
    case 4:
      if (s.scene == SceneTurn) {
        host.SetPicture(Sprite::Image1, StorePicture::Image3);
        host.SetLeft(Sprite::Image1, host.Left(Sprite::Image1) - kStep);
      } else {
        s.scene = SceneSweat;
        s.sceneFrame = 0;
      }
      break;
    case 6:
      host.SetPicture(Sprite::Image1, StorePicture::Image4);
      host.SetLeft(Sprite::Image1, host.Left(Sprite::Image1) - kStep);
      break;
    default: break;
  }
  if (frame <= 7) {
    s.sceneFrame += 1;
  } else {
    s.scene += 1;
    s.sceneFrame = 0;
  }
}

// Scene 104: the sweat drop grows, then the walker runs back at double pace.
void Sweat(AnimationState& s, AnimationHost& host) {
  s.sceneFrame += 1;
  switch (s.sceneFrame) {
    case 2: host.SetPicture(Sprite::Image1, StorePicture::ImAse1); break;
    case 3: host.SetPicture(Sprite::Image1, StorePicture::ImAse2); break;
    case 4: host.SetPicture(Sprite::Image1, StorePicture::ImAse3); break;
    case 5: host.SetPicture(Sprite::Image1, StorePicture::ImAse4); break;
    case 6: break;
    default:
      host.SetTimerInterval(host.TimerInterval() / 2);
      s.walkerDir = -1;
      s.scene = SceneRunBack;
      s.sceneFrame = -1;
      break;
  }
}

// Scene 5: looking from one folder to the other in blocks of four steps, then the marks.
void Inspect(AnimationState& s, AnimationHost& host) {
  const int k = (s.sceneFrame + 3) / 4;
  switch (k) {
    case 0:
      host.SetLeft(Sprite::Image1, s.walkerX);
      host.SetPicture(Sprite::Image1, StorePicture::Image4);
      break;
    case 1:
    case 3:
    case 5:
    case 7:
    case 9:
    case 12: host.SetPicture(Sprite::Image1, StorePicture::ImageOrg); break;
    case 2:
    case 4:
    case 6:
    case 8:
    case 10: host.SetPicture(Sprite::Image1, StorePicture::Image4); break;
    case 11:
      host.SetPicture(Sprite::ImChk2, MarkPicture(host));
      host.SetVisible(Sprite::ImChk2, true);
      host.SetLeft(Sprite::Image1, s.walkerX);
      host.SetPicture(Sprite::Image1, StorePicture::Image4);
      break;
    case 13:
      host.SetPicture(Sprite::ImChk1, MarkPicture(host));
      host.SetVisible(Sprite::ImChk1, true);
      host.SetPicture(Sprite::Image1, StorePicture::ImageOrg);
      break;
    default: break;
  }
  if (s.sceneFrame <= 52) {
    s.sceneFrame += 1;
  } else {
    s.scene = SceneReact;
    s.sceneFrame = 0;
  }
}

// Scene 6: joy or tears, each picture held for two steps.
void React(AnimationState& s, AnimationHost& host) {
  if (s.sceneFrame <= 17) {
    const bool clean = host.ErrorCount() == 0;
    const bool first = (s.sceneFrame / 2) % 2 == 0;
    host.SetPicture(Sprite::Image1, clean
                                        ? (first ? StorePicture::ImJp1 : StorePicture::ImJp2)
                                        : (first ? StorePicture::ImNaki1 : StorePicture::ImNaki2));
    s.sceneFrame += 1;
    return;
  }
  host.SetVisible(Sprite::ImChk1, false);
  host.SetVisible(Sprite::ImChk2, false);
  s.scene = SceneRest;
  s.sceneFrame = 0;
}

// Scene 7: a pause, then the next cycle; with errors the walker cries on and never leaves.
void Rest(AnimationState& s, AnimationHost& host) {
  s.sceneFrame += 1;
  host.SetTimerInterval(kRestIntervalMs);
  if (host.ErrorCount() == 0) {
    if (s.sceneFrame <= 6) return;
    s.sceneFrame = 0;
    s.scene = SceneWalkLeft;
    host.SetPicture(Sprite::Image1, StorePicture::ImJp1);
    host.SetLeft(Sprite::ImFolder1, kFolderHomeX);
    host.SetPicture(Sprite::ImFolder1, StorePicture::ImFolderOrg);
    if (host.RunFinished()) {
      host.DisableTimer();
      host.ClearRunFinished();
    }
    return;
  }
  if (s.sceneFrame == 6) {
    host.SetLeft(Sprite::ImFolder1, kFolderHomeX);
    host.SetPicture(Sprite::ImFolder1, StorePicture::ImFolderOrg);
  }
  if (s.sceneFrame % 4 == 0) host.SetPicture(Sprite::Image1, StorePicture::ImNaki1);
  if (s.sceneFrame % 4 == 2) host.SetPicture(Sprite::Image1, StorePicture::ImNaki2);
}

// Scene 107: one step right with the rope, then pulling again.
void Resume(AnimationState& s, AnimationHost& host) {
  host.SetPicture(Sprite::Image1, StorePicture::Image7);
  host.SetLeft(Sprite::Image1, host.Left(Sprite::Image1) + kStep);
  s.sceneFrame = 0;
  s.scene = ScenePull;
}

}  // namespace

void AnimationStep(AnimationState& s, AnimationHost& host) {
  switch (s.scene) {
    case SceneWalkLeft:
    case SceneRunBack: WalkLeft(s, host); break;
    case SceneTieRope:
    case SceneUntie:
    case SceneRetie: WorkRope(s, host); break;
    case ScenePull:
    case SceneWalkOnAlone: WalkRight(s, host); break;
    case SceneTurn:
    case SceneMissFolder: Turn(s, host); break;
    case SceneSweat: Sweat(s, host); break;
    case SceneInspect: Inspect(s, host); break;
    case SceneReact: React(s, host); break;
    case SceneResume: Resume(s, host); break;
    default: Rest(s, host); break;  // scene 7, and any number that is never reached
  }
}

void TimerTick(AnimationState& s, AnimationHost& host) {
  s.titleTicks += 1;
  if (s.titleTicks > 2) {
    s.titleTicks = 0;
    host.SetApplicationTitle(host.TitleText());
  }
  if (!host.AnimationOn()) return;
  s.animTicks += 1;
  if (s.animTicks <= 1) return;
  s.animTicks = 0;
  AnimationStep(s, host);
}

}  // namespace vemo
