// The About box on the real window: a click on the name starts the slide, the positions of
// the slide at the counter values of the table, the scene and its poses, clicks during the
// slide and the scene. Ticks are driven by hand; no message is pumped in between, so the real
// timer does not tick on its own.
#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"

namespace vemo {
namespace {

void ClickAt(ui::Form& form, const ui::Control& c) {
  LPARAM at = MAKELPARAM(c.Left() + 3, c.Top() + 3);
  SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(form.Handle(), WM_LBUTTONUP, 0, at);
}

void ExpectSlide(TAbout& a, int top, int label2, int label3) {
  EXPECT_EQ(a.Image1.Top(), top);
  EXPECT_EQ(a.Label2.Left(), label2);
  EXPECT_EQ(a.Label3.Left(), label3);
}

TEST(AboutBox, SlideSceneAndPoses) {
  test::EnsureForms();
  TAbout& a = *About;
  a.Show();
  ExpectSlide(a, 48, 96, 88);
  EXPECT_FALSE(a.Timer1.Enabled());

  ClickAt(a, a.Label2);
  EXPECT_TRUE(a.Timer1.Enabled());
  EXPECT_EQ(a.Timer1.Interval(), 10u);

  auto tickUntil = [&](int counter) {  // ticks until the next tick is the one at `counter`
    for (int ticks = 0; a.Animation().counter > counter; ++ticks) {
      ASSERT_LT(ticks, 100) << "the slide's counter does not come down to " << counter;
      a.Timer1Timer();
    }
  };
  tickUntil(50);
  a.Timer1Timer();  // c = 50: the design positions again
  ExpectSlide(a, 48, 96, 88);
  tickUntil(25);
  a.Timer1Timer();
  ExpectSlide(a, 28, 112, 104);

  // A click during the slide changes nothing.
  ClickAt(a, a.Label2);
  ClickAt(a, a.Image1);
  EXPECT_EQ(a.Animation().counter, 24);
  EXPECT_EQ(a.Timer1.Interval(), 10u);
  ExpectSlide(a, 28, 112, 104);

  tickUntil(2);
  a.Timer1Timer();
  ExpectSlide(a, 9, 127, 119);
  a.Timer1Timer();  // c = 1
  ExpectSlide(a, 8, 128, 120);
  EXPECT_EQ(a.Animation().counter, 0);
  for (ui::Image* i : {&a.Image2, &a.Image3, &a.Image4, &a.ImChr}) EXPECT_FALSE(i->Visible());

  // The 51st tick uncovers the scene in the other pose.
  a.Timer1Timer();
  EXPECT_EQ(a.Timer1.Interval(), 800u);
  for (ui::Image* i : {&a.Image2, &a.Image3, &a.Image4, &a.ImChr}) EXPECT_TRUE(i->Visible());
  EXPECT_FALSE(a.ImChrL.Visible());
  EXPECT_FALSE(a.ImChrR.Visible());
  EXPECT_EQ(a.ImChr.GetPicture(), a.ImChrR.GetPicture());
  a.Timer1Timer();
  EXPECT_EQ(a.ImChr.GetPicture(), a.ImChrL.GetPicture());
  ExpectSlide(a, 8, 128, 120);  // the slide never plays again

  // A click on the icon during the scene: the next tick follows at once.
  ClickAt(a, a.Image1);
  EXPECT_EQ(a.Timer1.Interval(), 10u);
  a.Timer1Timer();
  EXPECT_EQ(a.ImChr.GetPicture(), a.ImChrR.GetPicture());
  EXPECT_EQ(a.Timer1.Interval(), 800u);

  // Closing the box stops neither the timer nor the animation.
  a.Close();
  EXPECT_FALSE(a.Visible());
  EXPECT_TRUE(a.Timer1.Enabled());
  EXPECT_EQ(a.Animation().counter, 0);
}

}  // namespace
}  // namespace vemo
