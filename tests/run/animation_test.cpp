// The progress window's scene, played in memory: scene lengths, positions, marks, the held
// and the lost folder, the rest at the end of a run, and the timer's pacing.
#include "run/animation.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace vemo {
namespace {

// The scene's images and the timer as plain values, starting as the progress window does.
struct SceneHost : AnimationHost {
  std::map<Sprite, int> lefts{{Sprite::Image1, 352},
                              {Sprite::ImFolder1, 128},
                              {Sprite::ImChk1, 376},
                              {Sprite::ImChk2, 312}};
  std::map<Sprite, StorePicture> pictures{{Sprite::Image1, StorePicture::Image4},
                                          {Sprite::ImFolder1, StorePicture::ImFolderOrg},
                                          {Sprite::ImChk1, StorePicture::ImCheck},
                                          {Sprite::ImChk2, StorePicture::ImCheck}};
  std::map<Sprite, bool> visible{{Sprite::Image1, true},
                                 {Sprite::ImFolder1, true},
                                 {Sprite::ImChk1, false},
                                 {Sprite::ImChk2, false}};
  unsigned interval = 100;
  bool timerEnabled = true;
  bool animation = true;
  int errors = 0;
  bool finished = false;
  std::string title = "Vemo";
  std::vector<std::string> appTitles;
  int imageWrites = 0;
  std::function<int()> random = [] { return std::rand(); };

  int Left(Sprite s) const override { return lefts.at(s); }
  void SetLeft(Sprite s, int x) override {
    lefts[s] = x;
    ++imageWrites;
  }
  void SetPicture(Sprite s, StorePicture p) override {
    pictures[s] = p;
    ++imageWrites;
  }
  void SetVisible(Sprite s, bool v) override {
    visible[s] = v;
    ++imageWrites;
  }
  unsigned TimerInterval() const override { return interval; }
  void SetTimerInterval(unsigned ms) override { interval = ms; }
  void DisableTimer() override { timerEnabled = false; }
  bool AnimationOn() const override { return animation; }
  int ErrorCount() const override { return errors; }
  bool RunFinished() const override { return finished; }
  void ClearRunFinished() override { finished = false; }
  std::string TitleText() const override { return title; }
  void SetApplicationTitle(const std::string& t) override { appTitles.push_back(t); }
  int NextRandom() override { return random(); }
};

// Steps until the scene number changes; returns the number of steps taken.
int PlayScene(AnimationState& s, SceneHost& h) {
  const int scene = s.scene;
  int steps = 0;
  while (s.scene == scene && steps < 10000) {
    AnimationStep(s, h);
    ++steps;
  }
  return steps;
}

void PlayUntil(AnimationState& s, SceneHost& h, int scene) {
  for (int guard = 0; s.scene != scene && guard < 100000; ++guard) AnimationStep(s, h);
  ASSERT_EQ(s.scene, scene);
}

TEST(AnimationCycle, SceneLengthsOverTwoCyclesWithoutLoss) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 0; };  // never r mod m = 15: no folder is lost
  const std::vector<std::pair<int, int>> first{{0, 51}, {1, 12}, {2, 50}, {3, 9},
                                               {4, 12}, {5, 54}, {6, 19}, {7, 7}};
  int total = 0;
  for (auto [scene, length] : first) {
    ASSERT_EQ(s.scene, scene);
    EXPECT_EQ(PlayScene(s, h), length) << "scene " << scene;
  }
  EXPECT_EQ(s.scene, SceneWalkLeft);
  for (auto [scene, length] : first) {
    ASSERT_EQ(s.scene, scene);
    const int steps = PlayScene(s, h);
    EXPECT_EQ(steps, scene == 0 ? 50 : length) << "scene " << scene << " of the second cycle";
    total += steps;
  }
  EXPECT_EQ(total, 213);
  EXPECT_TRUE(h.timerEnabled);
  EXPECT_EQ(h.interval, 100u);
}

TEST(AnimationCycle, PositionsAndPicturesAlongACycle) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 0; };

  // Walking left: standing, step A, standing, step B.
  const StorePicture walk[] = {StorePicture::Image4, StorePicture::Image2, StorePicture::Image4,
                               StorePicture::Image3};
  for (int i = 0; i < 8; ++i) {
    AnimationStep(s, h);
    EXPECT_EQ(h.pictures[Sprite::Image1], walk[i % 4]) << "step " << i;
    EXPECT_EQ(h.lefts[Sprite::Image1], 352 - 4 * (i + 1));
  }
  PlayScene(s, h);
  EXPECT_EQ(s.walkerX, 148);
  EXPECT_EQ(h.lefts[Sprite::Image1], 148);
  EXPECT_EQ(s.walkerDir, 1);

  // Tying the rope: the walker vanishes into the folder picture for ten steps.
  int hiddenSteps = 0;
  while (s.scene == SceneTieRope) {
    AnimationStep(s, h);
    if (!h.visible[Sprite::Image1]) ++hiddenSteps;
  }
  EXPECT_EQ(hiddenSteps, 10);
  EXPECT_TRUE(h.visible[Sprite::Image1]);
  EXPECT_EQ(h.pictures[Sprite::ImFolder1], StorePicture::ImFolder14);
  EXPECT_EQ(s.walkerX, 152);

  // Pulling: the folder follows 32 pixels behind, with the rope pictures of the walker.
  while (s.scene == ScenePull) {
    AnimationStep(s, h);
    EXPECT_EQ(h.lefts[Sprite::ImFolder1], s.walkerX - 32);
    EXPECT_EQ(h.lefts[Sprite::Image1], s.walkerX);
    const StorePicture p = h.pictures[Sprite::Image1];
    EXPECT_TRUE(p == StorePicture::Image5 || p == StorePicture::Image6 ||
                p == StorePicture::Image7);
  }
  EXPECT_EQ(s.walkerX, 352);
  EXPECT_EQ(h.lefts[Sprite::ImFolder1], 320);

  PlayScene(s, h);  // turning: two steps left on screen, walkerX stays
  EXPECT_EQ(h.lefts[Sprite::Image1], 344);
  EXPECT_EQ(s.walkerX, 352);
  EXPECT_EQ(h.pictures[Sprite::Image1], StorePicture::Image4);

  PlayScene(s, h);  // untying
  EXPECT_EQ(h.pictures[Sprite::ImFolder1], StorePicture::ImFolderOrg);
  EXPECT_EQ(s.walkerX, 348);

  AnimationStep(s, h);  // inspecting stands between the two folders
  EXPECT_EQ(h.lefts[Sprite::Image1], 348);
  PlayUntil(s, h, SceneWalkLeft);
  EXPECT_EQ(h.lefts[Sprite::ImFolder1], 128);
  EXPECT_EQ(h.pictures[Sprite::ImFolder1], StorePicture::ImFolderOrg);
  EXPECT_EQ(h.pictures[Sprite::Image1], StorePicture::ImJp1);
  EXPECT_EQ(s.walkerX, 348);
  EXPECT_EQ(s.walkerDir, -1);
}

// Plays scene 5 and 6, recording the marks and the reaction pictures.
struct Ending {
  StorePicture mark1, mark2;
  std::vector<StorePicture> reaction;
  bool marksHiddenAfter;
};
Ending PlayEnding(AnimationState& s, SceneHost& h, std::function<void(int frame)> before = {}) {
  Ending e{};
  while (s.scene == SceneInspect) {
    if (before) before(s.sceneFrame);
    AnimationStep(s, h);
  }
  e.mark1 = h.pictures[Sprite::ImChk1];
  e.mark2 = h.pictures[Sprite::ImChk2];
  EXPECT_TRUE(h.visible[Sprite::ImChk1] && h.visible[Sprite::ImChk2]);
  while (s.scene == SceneReact) {
    AnimationStep(s, h);
    if (s.scene == SceneReact) e.reaction.push_back(h.pictures[Sprite::Image1]);
  }
  e.marksHiddenAfter = !h.visible[Sprite::ImChk1] && !h.visible[Sprite::ImChk2];
  return e;
}

TEST(AnimationMarks, ChecksAndJoyWithoutErrorsCrossesAndTearsWithErrors) {
  using P = StorePicture;
  for (int errors : {0, 3}) {
    AnimationState s;
    SceneHost h;
    h.random = [] { return 0; };
    h.errors = errors;
    PlayUntil(s, h, SceneInspect);
    Ending e = PlayEnding(s, h);
    const P mark = errors ? P::ImBatsu : P::ImCheck;
    EXPECT_EQ(e.mark1, mark);
    EXPECT_EQ(e.mark2, mark);
    const P a = errors ? P::ImNaki1 : P::ImJp1, b = errors ? P::ImNaki2 : P::ImJp2;
    const std::vector<P> expected{a, a, b, b, a, a, b, b, a, a, b, b, a, a, b, b, a, a};
    EXPECT_EQ(e.reaction, expected);
    EXPECT_TRUE(e.marksHiddenAfter);
  }
}

TEST(AnimationMarks, EachMarkShowsTheErrorCountWhenItIsSet) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 0; };
  PlayUntil(s, h, SceneInspect);
  // The first error arrives after Folder 1's mark (frames 41-44) and before Folder 2's (49-52).
  Ending e = PlayEnding(s, h, [&](int frame) {
    if (frame == 46) h.errors = 1;
  });
  EXPECT_EQ(e.mark2, StorePicture::ImCheck);
  EXPECT_EQ(e.mark1, StorePicture::ImBatsu);
  EXPECT_EQ(e.reaction.front(), StorePicture::ImNaki1);
}

TEST(AnimationFolder, HoldingStopsTheWalkerOnlyWhilePulling) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 65; };  // 65 mod 500 is not 15, 65 mod 50 is: only a held folder is lost
  FolderMouseDown(s);            // no effect while walking to the folder
  EXPECT_EQ(PlayScene(s, h), 51);
  EXPECT_EQ(PlayScene(s, h), 12);
  ASSERT_EQ(s.scene, ScenePull);

  for (int i = 0; i < 20; ++i) AnimationStep(s, h);  // held at 152: treading, never lost
  EXPECT_EQ(s.walkerX, 152);
  EXPECT_EQ(s.scene, ScenePull);
  FolderMouseUp(s);
  AnimationStep(s, h);
  FolderMouseDown(s);
  for (int i = 0; i < 5; ++i) AnimationStep(s, h);  // held at 156: the lower edge, still safe
  EXPECT_EQ(s.walkerX, 156);
  EXPECT_EQ(s.scene, ScenePull);

  FolderMouseUp(s);
  while (s.walkerX < 200) AnimationStep(s, h);
  EXPECT_EQ(s.scene, ScenePull);  // unheld at 1 in 500: not lost with this number
  FolderMouseDown(s);
  AnimationStep(s, h);  // held between 160 and 308: lost at once, and the walker walks on
  EXPECT_EQ(s.scene, SceneWalkOnAlone);
  EXPECT_EQ(s.dropX, 200);
  EXPECT_EQ(s.walkerX, 204);
  EXPECT_EQ(h.lefts[Sprite::ImFolder1], 168);
}

TEST(AnimationFolder, HeldAtTheFarEndNeverLosesIt) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 65; };
  PlayUntil(s, h, ScenePull);
  while (s.walkerX < 312) AnimationStep(s, h);
  FolderMouseDown(s);
  for (int i = 0; i < 10; ++i) AnimationStep(s, h);
  EXPECT_EQ(s.walkerX, 312);
  EXPECT_EQ(s.scene, ScenePull);
  FolderMouseUp(s);
  EXPECT_EQ(PlayScene(s, h), 10);
}

// The first seed whose generator loses the folder on the very first pull.
unsigned SeedThatLosesTheFolder() {
  for (unsigned seed = 1; seed < 100000; ++seed) {
    std::srand(seed);
    AnimationState s;
    SceneHost h;
    while (s.scene != SceneTurn && s.scene != SceneWalkOnAlone) AnimationStep(s, h);
    if (s.scene == SceneWalkOnAlone) return seed;
  }
  return 0;
}

TEST(AnimationFolder, LostFolderDetourThroughEveryScene) {
  const unsigned seed = SeedThatLosesTheFolder();
  ASSERT_NE(seed, 0u);
  std::srand(seed);
  AnimationState s;
  SceneHost h;
  PlayUntil(s, h, SceneWalkOnAlone);
  const int dropX = s.dropX;
  EXPECT_GT(dropX, 156);
  EXPECT_LT(dropX, 312);
  const int folderAt = dropX - 32;
  EXPECT_EQ(h.lefts[Sprite::ImFolder1], folderAt);

  while (s.scene == SceneWalkOnAlone) {
    AnimationStep(s, h);
    EXPECT_EQ(h.lefts[Sprite::ImFolder1], folderAt);
  }
  EXPECT_EQ(s.walkerX, 352);
  ASSERT_EQ(s.scene, SceneMissFolder);
  EXPECT_EQ(PlayScene(s, h), 5);
  ASSERT_EQ(s.scene, SceneSweat);
  EXPECT_EQ(s.sceneFrame, 1);

  std::vector<StorePicture> sweat;
  while (s.scene == SceneSweat) {
    AnimationStep(s, h);
    sweat.push_back(h.pictures[Sprite::Image1]);
  }
  EXPECT_EQ(sweat.size(), 6u);
  EXPECT_EQ(std::vector<StorePicture>(sweat.begin(), sweat.begin() + 4),
            (std::vector<StorePicture>{StorePicture::ImAse1, StorePicture::ImAse2,
                                       StorePicture::ImAse3, StorePicture::ImAse4}));
  EXPECT_EQ(h.interval, 50u);  // running back at double pace
  ASSERT_EQ(s.scene, SceneRunBack);

  PlayScene(s, h);
  ASSERT_EQ(s.scene, SceneRetie);
  EXPECT_EQ(h.interval, 100u);
  EXPECT_EQ(s.walkerX, dropX - 4);
  EXPECT_EQ(h.lefts[Sprite::Image1], dropX);  // the arriving step does not move the image
  EXPECT_EQ(h.lefts[Sprite::ImFolder1], folderAt);

  EXPECT_EQ(PlayScene(s, h), 12);
  EXPECT_EQ(h.pictures[Sprite::ImFolder1], StorePicture::ImFolder14);
  ASSERT_EQ(s.scene, SceneResume);
  AnimationStep(s, h);
  EXPECT_EQ(s.scene, ScenePull);
  EXPECT_EQ(s.walkerX, dropX);
  EXPECT_EQ(h.lefts[Sprite::Image1], dropX);
  EXPECT_EQ(h.pictures[Sprite::Image1], StorePicture::Image7);

  // Pulling on (the folder may be lost again) until the turn, the interval as before.
  PlayUntil(s, h, SceneTurn);
  EXPECT_EQ(h.lefts[Sprite::ImFolder1], 320);
  EXPECT_EQ(h.interval, 100u);
}

TEST(AnimationRest, ErrorFreeRunEndStopsTheTimerAfterTheRest) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 0; };
  PlayUntil(s, h, SceneReact);
  h.finished = true;  // the worker's ending: 8 ms and runFinished
  h.interval = 8;
  PlayScene(s, h);
  ASSERT_EQ(s.scene, SceneRest);
  for (int i = 0; i < 6; ++i) AnimationStep(s, h);
  EXPECT_TRUE(h.timerEnabled);
  EXPECT_EQ(h.interval, 100u);
  AnimationStep(s, h);
  EXPECT_EQ(s.scene, SceneWalkLeft);
  EXPECT_FALSE(h.timerEnabled);
  EXPECT_FALSE(h.finished);
  EXPECT_EQ(h.pictures[Sprite::Image1], StorePicture::ImJp1);
  EXPECT_EQ(h.lefts[Sprite::Image1], 348);
  EXPECT_EQ(h.lefts[Sprite::ImFolder1], 128);
}

TEST(AnimationRest, RestWithoutRunEndKeepsTheTimer) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 0; };
  PlayUntil(s, h, SceneRest);
  EXPECT_EQ(PlayScene(s, h), 7);
  EXPECT_TRUE(h.timerEnabled);
}

TEST(AnimationRest, WithErrorsTheWalkerCriesOnUntilTheCountIsReset) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 0; };
  h.errors = 2;
  PlayUntil(s, h, SceneRest);
  h.finished = true;
  for (int i = 1; i <= 40; ++i) {
    AnimationStep(s, h);
    if (i == 5) {
      EXPECT_EQ(h.lefts[Sprite::ImFolder1], 320);
    }
    if (i == 6) {
      EXPECT_EQ(h.lefts[Sprite::ImFolder1], 128);
    }
    if (i % 4 == 0) {
      EXPECT_EQ(h.pictures[Sprite::Image1], StorePicture::ImNaki1) << i;
    }
    if (i % 4 == 2) {
      EXPECT_EQ(h.pictures[Sprite::Image1], StorePicture::ImNaki2) << i;
    }
  }
  EXPECT_EQ(s.scene, SceneRest);
  EXPECT_TRUE(h.timerEnabled);
  EXPECT_TRUE(h.finished);
  EXPECT_EQ(h.pictures[Sprite::ImFolder1], StorePicture::ImFolderOrg);

  h.errors = 0;  // the next run's worker resets the count: a new cycle at once
  AnimationStep(s, h);
  EXPECT_EQ(s.scene, SceneWalkLeft);
  EXPECT_FALSE(h.timerEnabled);
}

TEST(AnimationTimer, TitleEveryThirdTickAnimationEverySecond) {
  AnimationState s;
  SceneHost h;
  h.random = [] { return 0; };
  for (int tick = 1; tick <= 12; ++tick) {
    h.title = std::to_string(tick) + "% - Vemo";
    TimerTick(s, h);
  }
  EXPECT_EQ(h.appTitles,
            (std::vector<std::string>{"3% - Vemo", "6% - Vemo", "9% - Vemo", "12% - Vemo"}));
  EXPECT_EQ(s.walkerX, 352 - 6 * 4);  // six steps in twelve ticks
}

TEST(AnimationTimer, AnimationOffStillRefreshesTheTitleOnly) {
  AnimationState s;
  SceneHost h;
  h.animation = false;
  for (int tick = 0; tick < 9; ++tick) TimerTick(s, h);
  EXPECT_EQ(h.appTitles.size(), 3u);
  EXPECT_EQ(h.imageWrites, 0);
  EXPECT_EQ(s.animTicks, 0);
  EXPECT_EQ(s.walkerX, 352);
  EXPECT_EQ(s.scene, SceneWalkLeft);
}

TEST(AnimationCycle, UnknownSceneRunsTheRest) {
  AnimationState s;
  SceneHost h;
  s.scene = 42;
  s.sceneFrame = 6;
  h.interval = 8;
  AnimationStep(s, h);
  EXPECT_EQ(s.scene, SceneWalkLeft);
  EXPECT_EQ(h.interval, 100u);
}

}  // namespace
}  // namespace vemo
