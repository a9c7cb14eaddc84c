// The five windows as an accessibility client reads them: every window of our own classes
// answers with a name and a role, the texts and pictures the forms draw are children of their
// form, and the standard controls without a label of their own carry one.
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "tests/support/accessible_probe.h"
#include "tests/support/settle.h"
#include "tests/ui/ui_test_support.h"

namespace vemo {
namespace {

using test::EnsureForms;
using testing::SeenObject;

std::vector<ui::Form*> Forms() { return {Form1, Form2, About, PBar, DragDropMsg}; }

struct Expected {
  std::string name;
  long role;
};

TEST(Accessibility, EveryWindowOfOurOwnClassesHasANameAndARole) {
  EnsureForms();
  // Every window of the five that the system does not serve, by form and layout name.
  const std::map<std::string, Expected> own = {
      {"Form1.Form1", {"Vemo", ROLE_SYSTEM_CLIENT}},
      {"Form1.GroupBox1", {"Folder 1", ROLE_SYSTEM_GROUPING}},
      {"Form1.GroupBox2", {"Folder 2", ROLE_SYSTEM_GROUPING}},
      {"Form1.GroupBox3", {"Options", ROLE_SYSTEM_GROUPING}},
      {"Form2.Form2", {"Vemo Error Information", ROLE_SYSTEM_CLIENT}},
      {"Form2.Memo1", {"Error Information", ROLE_SYSTEM_TEXT}},
      {"About.About", {"About Vemo", ROLE_SYSTEM_DIALOG}},
      {"PBar.PBar", {"Vemo -  Comparing...", ROLE_SYSTEM_DIALOG}},
      {"PBar.GroupBox1", {"Entire Process", ROLE_SYSTEM_GROUPING}},
      {"PBar.GroupBox2", {"Files Now Comparing", ROLE_SYSTEM_GROUPING}},
      {"PBar.Panel1", {"Comparing...", ROLE_SYSTEM_STATICTEXT}},
      {"PBar.Panel2", {"Size of this file", ROLE_SYSTEM_STATICTEXT}},  // empty: its label
      {"PBar.Panel3", {"Size of all files", ROLE_SYSTEM_STATICTEXT}},
      {"DragDropMsg.DragDropMsg", {"Vemo", ROLE_SYSTEM_DIALOG}},
  };
  std::set<std::string> walked;
  for (ui::Form* form : Forms()) {
    std::vector<HWND> windows = testing::Descendants(form->Handle());
    windows.insert(windows.begin(), form->Handle());
    for (HWND hwnd : windows) {
      if (testing::ClassName(hwnd).rfind("Vemo", 0) != 0) continue;
      const std::string key = form->Name() + "." + ui::WinControl::FromHandle(hwnd)->Name();
      SCOPED_TRACE(key);
      walked.insert(key);
      std::vector<SeenObject> seen = testing::ReadAccessible(hwnd);
      ASSERT_FALSE(seen.empty()) << "no object";
      const SeenObject& self = seen[0];
      EXPECT_FALSE(self.name.empty());
      EXPECT_NE(self.role, 0);
      auto row = own.find(key);
      ASSERT_NE(row, own.end()) << "a window of ours missing from the table";
      EXPECT_EQ(self.name, row->second.name);
      EXPECT_EQ(self.role, row->second.role);
      EXPECT_TRUE(self.hasParent);
      EXPECT_EQ((self.state & STATE_SYSTEM_INVISIBLE) != 0, !IsWindowVisible(hwnd));
      RECT client;
      GetClientRect(hwnd, &client);
      MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
      EXPECT_TRUE(EqualRect(&self.location, &client));
    }
  }
  EXPECT_EQ(walked.size(), own.size());
}

TEST(Accessibility, DrawnTextsAndMarksAreChildrenOfTheirForm) {
  EnsureForms();
  const std::string question = "Which folder (1 or 2) do you want droped folder set?";
  DragDropMsg->Message.SetCaption(question);
  PBar->ImChk2.SetPicture(PBar->ImBatsu.GetPicture());  // a mark set after errors
  PBar->ImChk2.Show();
  struct Row {
    ui::Form* form;
    std::vector<Expected> drawn;  // in reading order
    size_t windows;               // child windows after them
  };
  const std::vector<Row> rows = {
      {Form1, {}, 16},
      {Form2, {}, 1},
      {About,
       {{"File Compare Tool", ROLE_SYSTEM_STATICTEXT},
        {"for Windows9x / NT", ROLE_SYSTEM_STATICTEXT},
        {"Vemo", ROLE_SYSTEM_STATICTEXT},
        {"Version 1.3 L11", ROLE_SYSTEM_STATICTEXT},
        {"Written by the Vemo developers", ROLE_SYSTEM_STATICTEXT}},
       0},
      {PBar,
       {{"Cross, errors found", ROLE_SYSTEM_GRAPHIC}, {"Now Comparing...", ROLE_SYSTEM_STATICTEXT}},
       4},
      {DragDropMsg, {{question, ROLE_SYSTEM_STATICTEXT}}, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.form->Name());
    std::vector<SeenObject> seen = testing::ReadAccessible(row.form->Handle());
    ASSERT_EQ(seen.size(), 1 + row.drawn.size() + row.windows);
    for (size_t i = 0; i < row.drawn.size(); ++i) {
      EXPECT_FALSE(seen[1 + i].window);
      EXPECT_EQ(seen[1 + i].name, row.drawn[i].name);
      EXPECT_EQ(seen[1 + i].role, row.drawn[i].role);
    }
    for (size_t i = 1 + row.drawn.size(); i < seen.size(); ++i) EXPECT_TRUE(seen[i].window);
  }
  PBar->ImChk2.Hide();
  PBar->ImChk2.SetPicture(PBar->ImCheck.GetPicture());
}

// A client that follows the mouse or walks sibling by sibling meets the same children.
TEST(Accessibility, HitTestAndNavigationFindEachChild) {
  EnsureForms();
  About->Show();
  test::Settle();
  testing::ComThread com;
  IAccessible* about = nullptr;
  ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(
      About->Handle(), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&about)));
  long count = 0;
  about->get_accChildCount(&count);
  ASSERT_EQ(count, 5);
  VARIANT at, next;
  VariantInit(&at);
  VariantInit(&next);
  ASSERT_EQ(about->accNavigate(NAVDIR_FIRSTCHILD, testing::ChildVariant(CHILDID_SELF), &at), S_OK);
  for (long id = 1; id <= count; ++id) {
    SCOPED_TRACE(id);
    EXPECT_EQ(at.vt, VT_I4);
    EXPECT_EQ(at.lVal, id);
    SeenObject child = testing::ReadObject(about, id);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(about->accHitTest((child.location.left + child.location.right) / 2,
                                (child.location.top + child.location.bottom) / 2, &hit),
              S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, id) << child.name;
    HRESULT moved = about->accNavigate(NAVDIR_NEXT, testing::ChildVariant(id), &next);
    EXPECT_EQ(moved, id < count ? S_OK : S_FALSE);
    at = next;
  }
  about->Release();
  About->Hide();
}

TEST(Accessibility, StandardControlsWithoutALabelOfTheirOwnCarryOne) {
  EnsureForms();
  const std::vector<std::pair<ui::Control*, std::string>> labels = {
      {&Form1->Edit1, "Folder 1"},
      {&Form1->DirectoryListBox1, "Folder 1 folders"},
      {&Form1->DriveComboBox1, "Folder 1 drive"},
      {&Form1->Edit2, "Folder 2"},
      {&Form1->DirectoryListBox2, "Folder 2 folders"},
      {&Form1->DriveComboBox2, "Folder 2 drive"},
      {&Form2->Memo1, "Error Information"},
      {&PBar->ProgressBar2, "Entire Process"},
      {&PBar->ProgressBar1, "Files Now Comparing"},
  };
  for (const auto& [control, label] : labels) EXPECT_EQ(control->AccessibleLabel(), label);
}

}  // namespace
}  // namespace vemo
