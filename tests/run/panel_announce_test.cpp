// The progress panels tell assistive technology of their new texts as often as they are
// repainted, however often a run set them in between: never once per block.
#include <windows.h>

#include <map>
#include <utility>

#include <gtest/gtest.h>

#include "tests/support/settle.h"
#include "ui/run/progress_display.h"
#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {
namespace {

// The name changes of client areas that this process announced, per window.
std::map<HWND, int> announced;
void CALLBACK Announced(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT && child == CHILDID_SELF) ++announced[hwnd];
}

TEST(PanelAnnouncements, OncePerRepaintNotPerBlock) {
  if (!Form1) {
    ui::App().Initialize();
    CreateForms();
  }
  ProgressDisplay& display = ProgressDisplay::Instance();
  display.Flush();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                       Announced, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  using Writes = std::vector<std::pair<Panel, std::string>>;
  Writes blocks;  // a 2,000-block file between two repaints
  for (int block = 1; block <= 2000; ++block) {
    blocks.push_back({Panel::Panel2, std::to_string(block) + "/2000KB"});
    blocks.push_back({Panel::Panel3, std::to_string(block) + "/9999KB"});
  }
  const struct {
    const char* what;
    Writes writes;
    int panel1, panel2, panel3;  // announcements expected
  } steps[] = {
      {"blocks", blocks, 0, 1, 1},
      {"the same texts again",
       {{Panel::Panel2, "2000/2000KB"}, {Panel::Panel3, "2000/9999KB"}},
       0,
       0,
       0},
      {"the status line", {{Panel::Panel1, "C:\\Folder 1\\file.txt"}}, 1, 0, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    announced.clear();
    for (const auto& [panel, text] : step.writes) display.SetPanel(panel, text);
    display.Flush();
    const std::pair<ui::Panel*, int> expected[] = {
        {&PBar->Panel1, step.panel1}, {&PBar->Panel2, step.panel2}, {&PBar->Panel3, step.panel3}};
    // Delivered through this thread's messages: those expected first, then whatever else
    // waited with them.
    test::PumpUntil(
        [&] {
          for (auto [panel, count] : expected)
            if (announced[panel->Handle()] < count) return false;
          return true;
        },
        "the panels' announcements");
    test::Settle();
    for (auto [panel, count] : expected)
      EXPECT_EQ(announced[panel->Handle()], count) << panel->Name();
  }
  EXPECT_EQ(PBar->Panel2.Caption(), "2000/2000KB");
  UnhookWinEvent(hook);
}

}  // namespace
}  // namespace vemo
