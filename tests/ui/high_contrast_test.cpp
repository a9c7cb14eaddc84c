// The windows in high contrast. CTest runs this in a Wine prefix of its own whose registry holds
// a high-contrast black scheme (scripts/wine-prefix --high-contrast). Wine reports high contrast
// as off whatever the registry says, so the test turns the look on as the system's answer would.
#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/toolkit/colors.h"

namespace vemo {
namespace {

using test::EnsureForms;

// A control drawn into memory the size of `area` (its form's pixels for a drawn control, its
// client area for a window).
std::vector<COLORREF> Drawn(ui::Control& control, const RECT& area) {
  return test::DrawnPixels(area.right - area.left, area.bottom - area.top, [&](HDC dc) {
    if (auto* window = dynamic_cast<ui::WinControl*>(&control)) {
      SendMessageW(window->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    } else {
      SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
      static_cast<ui::GraphicControl&>(control).Paint(dc);
    }
  });
}

int Distance(COLORREF a, COLORREF b) {
  return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                   std::abs(GetBValue(a) - GetBValue(b))});
}

class HighContrast : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureForms();
    // The prefix's scheme: white text on black faces.
    ASSERT_EQ(GetSysColor(COLOR_BTNFACE), RGB(0, 0, 0)) << "not the high-contrast prefix";
    ASSERT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(255, 255, 255));
    ui::ForceHighContrast(true);
  }
  void TearDown() override { ui::ForceHighContrast(std::nullopt); }
};

// Every caption that a form, group box or panel draws shows in the scheme's text colour (the
// layouts' black text would vanish on the black face), and the frames are drawn in it too.
TEST_F(HighContrast, CaptionsAndFramesTakeTheSchemesTextColour) {
  std::vector<ui::Control*> drawn;
  for (ui::Form* form :
       {static_cast<ui::Form*>(Form1), static_cast<ui::Form*>(Form2), static_cast<ui::Form*>(About),
        static_cast<ui::Form*>(PBar), static_cast<ui::Form*>(DragDropMsg)}) {
    for (ui::GraphicControl* g : form->Graphics())
      if (dynamic_cast<ui::Label*>(g)) drawn.push_back(g);
    for (HWND hwnd : testing::Descendants(form->Handle()))
      if (testing::ClassName(hwnd) == "VemoCustom")
        drawn.push_back(ui::WinControl::FromHandle(hwnd));
  }
  ASSERT_EQ(drawn.size(), 5u + 1u + 1u + 3u + 5u);  // labels: About, PBar, drop; our windows
  const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
  for (ui::Control* control : drawn) {
    SCOPED_TRACE(control->OwnerForm()->Name() + "." + control->Name());
    auto* window = dynamic_cast<ui::WinControl*>(control);
    RECT area{};
    if (window)
      GetClientRect(window->Handle(), &area);
    else
      area = static_cast<ui::GraphicControl*>(control)->DrawnRect();
    // The caption is what differs from the same control drawn without one.
    const std::string caption = control->Caption();
    control->SetCaption(caption.empty() ? "12/34KB" : caption);
    std::vector<COLORREF> with = Drawn(*control, area);
    control->SetCaption("");
    std::vector<COLORREF> without = Drawn(*control, area);
    control->SetCaption(caption);
    int ink = 0, inTextColour = 0;
    for (size_t i = 0; i < with.size(); ++i) {
      if (with[i] == without[i]) continue;
      ++ink;
      if (Distance(with[i], text) <= 16) ++inTextColour;
    }
    EXPECT_GT(ink, 0) << "the caption cannot be seen";
    EXPECT_GT(inTextColour, 0);
    if (window) {  // the frame's left edge half way down, and the face inside it
      const size_t middle = (area.bottom / 2) * area.right;
      EXPECT_EQ(without[middle], text);
      EXPECT_EQ(without[middle + area.right / 2], face);
    }
  }
}

// Turning high contrast on or off changes the system colours: every form and control is drawn
// again at once, the shown ones too.
TEST_F(HighContrast, FormsDrawAgainWhenTheColoursChange) {
  PBar->Show();
  const struct {
    UINT msg;
    WPARAM wparam;
  } changes[] = {{WM_SYSCOLORCHANGE, 0}, {WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST}};
  for (const auto& change : changes) {
    SCOPED_TRACE(change.msg);
    RedrawWindow(PBar->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_FALSE(GetUpdateRect(PBar->Panel1.Handle(), nullptr, FALSE));
    SendMessageW(PBar->Handle(), change.msg, change.wparam, 0);
    EXPECT_TRUE(GetUpdateRect(PBar->Handle(), nullptr, FALSE));
    EXPECT_TRUE(GetUpdateRect(PBar->Panel1.Handle(), nullptr, FALSE));
    EXPECT_TRUE(GetUpdateRect(PBar->GroupBox2.Handle(), nullptr, FALSE));
  }
  PBar->Hide();
}

}  // namespace
}  // namespace vemo
