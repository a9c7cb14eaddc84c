#include "run/animation.h"

namespace vemo {
namespace {

constexpr int kStep = 4;             // pixels per walker step
constexpr int kFolderHomeX = 128;    // Folder 1's folder at rest
constexpr int kTurnLeftX = 148;      // the walker stops here, next to Folder 1's folder
constexpr int kTurnRightX = 352;     // ... and here, next to Folder 2's folder
constexpr int kRopeLength = 32;      // the pulled folder follows this far behind
constexpr int kRestIntervalMs = 100;

// Standing, step A, standing, step B, by frame; facing the walking direction.
StorePicture walkPicture(const AnimationState& s) {
  const bool left = s.walkerDir == -1;
  if (s.sceneFrame == 1) return left ? StorePicture::Image2 : StorePicture::Image5;
  if (s.sceneFrame == 3) return left ? StorePicture::Image3 : StorePicture::Image6;
  return left ? StorePicture::Image4 : StorePicture::Image7;
}

StorePicture markPicture(AnimationHost& host) {
  return host.errorCount() == 0 ? StorePicture::ImCheck : StorePicture::ImBatsu;
}

// Scenes 0 and 105: walking left, to the folder or back to the lost folder.
void walkLeft(AnimationState& s, AnimationHost& host) {
  s.walkerX += kStep * s.walkerDir;
  if (s.scene == SceneRunBack && s.walkerX < s.dropX) {
    s.scene = SceneRetie;
    s.walkerDir = -s.walkerDir;
    s.sceneFrame = 0;
    host.setTimerInterval(host.timerInterval() * 2);
    return;
  }
  host.setLeft(Sprite::Image1, s.walkerX);
  host.setPicture(Sprite::Image1, walkPicture(s));
  s.sceneFrame += 1;
  if (s.walkerX <= kTurnLeftX) {
    s.walkerDir = -s.walkerDir;
    s.sceneFrame = 0;
    s.scene += 1;
  }
  if (s.sceneFrame >= 4) s.sceneFrame = 0;
}

// Scenes 1, 4 and 106: the walker disappears into the folder image and works the rope.
void workRope(AnimationState& s, AnimationHost& host) {
  switch (s.sceneFrame) {
    case 0:
      if (s.scene == SceneRetie) host.setLeft(Sprite::Image1, host.left(Sprite::Image1) - kStep);
      break;
    case 1: case 2: case 5: case 6: case 9: case 10:
      host.setVisible(Sprite::Image1, false);
      host.setPicture(Sprite::ImFolder1, StorePicture::ImFolder13);
      break;
    case 3: case 4: case 7: case 8:
      host.setPicture(Sprite::ImFolder1, StorePicture::ImFolder12);
      break;
    default: break;
  }
  if (s.sceneFrame <= 10) {
    s.sceneFrame += 1;
    return;
  }
  host.setPicture(Sprite::ImFolder1,
                  s.scene == SceneUntie ? StorePicture::ImFolderOrg : StorePicture::ImFolder14);
  host.setVisible(Sprite::Image1, true);
  s.walkerX += kStep * s.walkerDir;
  s.scene += 1;
  s.sceneFrame = 0;
}

// Scenes 2 and 102: walking right, pulling the folder (which may get lost) or without it.
void walkRight(AnimationState& s, AnimationHost& host) {
  if (s.scene == ScenePull) {
    const int r = host.nextRandom();
    const int m = s.folderHeld == 1 ? 50 : 500;
    if (r % m == 15 && s.walkerX > 156 && s.walkerX < 312) {
      s.scene += kLostFolder;
      s.dropX = s.walkerX;
    }
  }
  if (s.scene > kLostFolder || s.folderHeld == 0) {  // a held folder makes the walker tread
    s.walkerX += kStep * s.walkerDir;
    host.setLeft(Sprite::Image1, s.walkerX);
  }
  host.setPicture(Sprite::Image1, walkPicture(s));
  if (s.scene < kLostFolder && s.walkerX >= 156)
    host.setLeft(Sprite::ImFolder1, s.walkerX - kRopeLength);
  s.sceneFrame += 1;
  if (s.walkerX >= kTurnRightX) {
    s.walkerDir = -s.walkerDir;
    s.sceneFrame = 0;
    s.scene += 1;
  }
  if (s.sceneFrame >= 4) s.sceneFrame = 0;
}

// Scenes 3 and 103: turning at the right end; after a loss the walker notices and sweats.
void turn(AnimationState& s, AnimationHost& host) {
  const int frame = s.sceneFrame;
  switch (frame) {
    case 1:
      host.setPicture(Sprite::Image1, StorePicture::Image4);
      break;
    case 4:
      if (s.scene == SceneTurn) {
        host.setPicture(Sprite::Image1, StorePicture::Image3);
        host.setLeft(Sprite::Image1, host.left(Sprite::Image1) - kStep);
      } else {
        s.scene = SceneSweat;
        s.sceneFrame = 0;
      }
      break;
    case 6:
      host.setPicture(Sprite::Image1, StorePicture::Image4);
      host.setLeft(Sprite::Image1, host.left(Sprite::Image1) - kStep);
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
void sweat(AnimationState& s, AnimationHost& host) {
  s.sceneFrame += 1;
  switch (s.sceneFrame) {
    case 2: host.setPicture(Sprite::Image1, StorePicture::ImAse1); break;
    case 3: host.setPicture(Sprite::Image1, StorePicture::ImAse2); break;
    case 4: host.setPicture(Sprite::Image1, StorePicture::ImAse3); break;
    case 5: host.setPicture(Sprite::Image1, StorePicture::ImAse4); break;
    case 6: break;
    default:
      host.setTimerInterval(host.timerInterval() / 2);
      s.walkerDir = -1;
      s.scene = SceneRunBack;
      s.sceneFrame = -1;
      break;
  }
}

// Scene 5: looking from one folder to the other in blocks of four steps, then the marks.
void inspect(AnimationState& s, AnimationHost& host) {
  const int k = (s.sceneFrame + 3) / 4;
  switch (k) {
    case 0:
      host.setLeft(Sprite::Image1, s.walkerX);
      host.setPicture(Sprite::Image1, StorePicture::Image4);
      break;
    case 1: case 3: case 5: case 7: case 9: case 12:
      host.setPicture(Sprite::Image1, StorePicture::ImageOrg);
      break;
    case 2: case 4: case 6: case 8: case 10:
      host.setPicture(Sprite::Image1, StorePicture::Image4);
      break;
    case 11:
      host.setPicture(Sprite::ImChk2, markPicture(host));
      host.setVisible(Sprite::ImChk2, true);
      host.setLeft(Sprite::Image1, s.walkerX);
      host.setPicture(Sprite::Image1, StorePicture::Image4);
      break;
    case 13:
      host.setPicture(Sprite::ImChk1, markPicture(host));
      host.setVisible(Sprite::ImChk1, true);
      host.setPicture(Sprite::Image1, StorePicture::ImageOrg);
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
void react(AnimationState& s, AnimationHost& host) {
  if (s.sceneFrame <= 17) {
    const bool clean = host.errorCount() == 0;
    const bool first = (s.sceneFrame / 2) % 2 == 0;
    host.setPicture(Sprite::Image1, clean ? (first ? StorePicture::ImJp1 : StorePicture::ImJp2)
                                          : (first ? StorePicture::ImNaki1 : StorePicture::ImNaki2));
    s.sceneFrame += 1;
    return;
  }
  host.setVisible(Sprite::ImChk1, false);
  host.setVisible(Sprite::ImChk2, false);
  s.scene = SceneRest;
  s.sceneFrame = 0;
}

// Scene 7: a pause, then the next cycle; with errors the walker cries on and never leaves.
void rest(AnimationState& s, AnimationHost& host) {
  s.sceneFrame += 1;
  host.setTimerInterval(kRestIntervalMs);
  if (host.errorCount() == 0) {
    if (s.sceneFrame <= 6) return;
    s.sceneFrame = 0;
    s.scene = SceneWalkLeft;
    host.setPicture(Sprite::Image1, StorePicture::ImJp1);
    host.setLeft(Sprite::ImFolder1, kFolderHomeX);
    host.setPicture(Sprite::ImFolder1, StorePicture::ImFolderOrg);
    if (host.runFinished()) {
      host.disableTimer();
      host.clearRunFinished();
    }
    return;
  }
  if (s.sceneFrame == 6) {
    host.setLeft(Sprite::ImFolder1, kFolderHomeX);
    host.setPicture(Sprite::ImFolder1, StorePicture::ImFolderOrg);
  }
  if (s.sceneFrame % 4 == 0) host.setPicture(Sprite::Image1, StorePicture::ImNaki1);
  if (s.sceneFrame % 4 == 2) host.setPicture(Sprite::Image1, StorePicture::ImNaki2);
}

// Scene 107: one step right with the rope, then pulling again.
void resume(AnimationState& s, AnimationHost& host) {
  host.setPicture(Sprite::Image1, StorePicture::Image7);
  host.setLeft(Sprite::Image1, host.left(Sprite::Image1) + kStep);
  s.sceneFrame = 0;
  s.scene = ScenePull;
}

}  // namespace

void animationStep(AnimationState& s, AnimationHost& host) {
  switch (s.scene) {
    case SceneWalkLeft: case SceneRunBack: walkLeft(s, host); break;
    case SceneTieRope: case SceneUntie: case SceneRetie: workRope(s, host); break;
    case ScenePull: case SceneWalkOnAlone: walkRight(s, host); break;
    case SceneTurn: case SceneMissFolder: turn(s, host); break;
    case SceneSweat: sweat(s, host); break;
    case SceneInspect: inspect(s, host); break;
    case SceneReact: react(s, host); break;
    case SceneResume: resume(s, host); break;
    default: rest(s, host); break;  // scene 7, and any number that is never reached
  }
}

void timerTick(AnimationState& s, AnimationHost& host) {
  s.titleTicks += 1;
  if (s.titleTicks > 2) {
    s.titleTicks = 0;
    host.setApplicationTitle(host.titleText());
  }
  if (!host.animationOn()) return;
  s.animTicks += 1;
  if (s.animTicks <= 1) return;
  s.animTicks = 0;
  animationStep(s, host);
}

}  // namespace vemo
