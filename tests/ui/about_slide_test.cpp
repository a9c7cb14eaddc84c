// The About box's slide and scene steps, without windows.
#include "ui/windows/about_slide.h"

#include <gtest/gtest.h>

namespace vemo {
namespace {

TEST(AboutSlide, PositionsAtTheCounterValuesOfTheTable) {
  struct Row {
    int c, top, label2, label3;
  };
  for (Row r :
       {Row{50, 48, 96, 88}, Row{25, 28, 112, 104}, Row{2, 9, 127, 119}, Row{1, 8, 128, 120}}) {
    AboutSlidePositions p = AboutSlideAt(r.c);
    EXPECT_EQ(p.image1Top, r.top) << r.c;
    EXPECT_EQ(p.label2Left, r.label2) << r.c;
    EXPECT_EQ(p.label3Left, r.label3) << r.c;
  }
}

TEST(AboutSlide, FiftySlideTicksThenPosesAlternateForever) {
  AboutAnimation a;
  int previousTop = 1000;
  for (int i = 0; i < 50; ++i) {
    AboutAnimation::Step s = a.Tick();
    EXPECT_TRUE(s.slide);
    EXPECT_LE(s.positions.image1Top, previousTop);  // moves one way only
    previousTop = s.positions.image1Top;
  }
  EXPECT_EQ(a.counter, 0);
  EXPECT_EQ(a.pose, 0);
  int expected = 1;
  for (int i = 0; i < 7; ++i, expected = 1 - expected) {
    AboutAnimation::Step s = a.Tick();
    EXPECT_FALSE(s.slide);
    EXPECT_EQ(s.pose, expected);
    EXPECT_EQ(a.counter, 0);  // never leaves 0
  }
}

}  // namespace
}  // namespace vemo
