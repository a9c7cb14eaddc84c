// The main menu as the platform holds it, and the keyboard: tab order, first focus, Enter on
// the default button, the drop question dialog's buttons and access keys, keyboard cues.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/settle.h"
#include "tests/ui/ui_test_support.h"

namespace vemo {
namespace {

using test::EnsureForms;

MENUITEMINFOW ItemInfo(HMENU menu, UINT position) {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
  GetMenuItemInfoW(menu, position, TRUE, &mii);
  return mii;
}

std::string ItemText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return ToUtf8(std::wstring_view(text, lstrlenW(text)));
}

struct ItemRow {
  const char* caption;
  bool checked, radio, enabled, isDefault;
  int group;
};

TEST(Menu, StructureChecksRadioItemsAndStates) {
  EnsureForms();
  struct Heading {
    const char* caption;
    std::vector<ItemRow> items;
  };
  const std::vector<Heading> headings = {
      {"File(&F)",
       {{"Compare(&C)", false, false, true, false, 0}, {"Exit(&X)", false, false, true, false, 0}}},
      {"View(&V)", {{"Error Infomation(&E)", false, false, true, false, 0}}},
      {"Option(&O)",
       {{"Recursive(&R)", true, true, true, false, 0},
        {"Ignore NoFile(&N)", false, true, true, false, 0},
        {"Ignore Cases of Filenames(&C)", false, true, true, false, 0},
        {"--------", false, false, false, false, 0},
        {"Animation(&A)", true, true, true, false, 0}}},
      {"Language(&L)",
       {{"English(&E)", true, true, true, true, 1},
        {"Japanese(&J)", false, true, false, false, 1}}},
      {"Help(&H)",
       {{"About(&A)", false, false, true, false, 0}, {"Help(&H)", false, false, true, false, 0}}},
  };
  HMENU bar = GetMenu(Form1->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), (int)headings.size());
  for (size_t h = 0; h < headings.size(); ++h) {
    EXPECT_EQ(ItemText(bar, h), headings[h].caption);
    HMENU sub = GetSubMenu(bar, h);
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(GetMenuItemCount(sub), (int)headings[h].items.size());
    const ui::MenuItem* heading = Form1->MainMenu1.Items()[h];
    for (size_t i = 0; i < headings[h].items.size(); ++i) {
      const ItemRow& row = headings[h].items[i];
      SCOPED_TRACE(row.caption);
      MENUITEMINFOW mii = ItemInfo(sub, i);
      EXPECT_EQ(ItemText(sub, i), row.caption);
      EXPECT_FALSE(mii.fType & MFT_SEPARATOR);
      EXPECT_EQ((mii.fState & MFS_CHECKED) != 0, row.checked);
      EXPECT_EQ((mii.fType & MFT_RADIOCHECK) != 0, row.radio);
      EXPECT_EQ((mii.fState & MFS_DISABLED) == 0, row.enabled);
      EXPECT_EQ((mii.fState & MFS_DEFAULT) != 0, row.isDefault);
      EXPECT_EQ(heading->Items()[i]->GroupIndex(), row.group);
      EXPECT_EQ(heading->Items()[i]->Id(), mii.wID);
    }
  }
  EXPECT_EQ(Form1->N1.Name(), "N1");
  EXPECT_EQ(Form1->IgnoreCasesOfFilenameC1.Name(), "IgnoreCasesOfFilenameC1");
}

TEST(Menu, RadioGroupsAndDisabledItems) {
  EnsureForms();
  TForm1& f = *Form1;
  auto checked = [](const ui::MenuItem& item) {
    return (GetMenuState(item.ContainingMenu(), item.Id(), MF_BYCOMMAND) & MF_CHECKED) != 0;
  };
  // Group 0: independent.
  f.IgnoreNoFileN1.SetChecked(true);
  EXPECT_TRUE(checked(f.IgnoreNoFileN1));
  EXPECT_TRUE(checked(f.RecursiveR1));
  EXPECT_TRUE(checked(f.AnimationA1));
  f.IgnoreNoFileN1.SetChecked(false);
  // Group 1: exclusive.
  f.Japanese.SetChecked(true);
  EXPECT_TRUE(checked(f.Japanese));
  EXPECT_FALSE(checked(f.English));
  EXPECT_FALSE(f.English.Checked());
  f.English.SetChecked(true);
  EXPECT_FALSE(checked(f.Japanese));
  EXPECT_TRUE(checked(f.English));

  // A chosen item runs its handler; a disabled one cannot be chosen.
  int compare = 0, dashes = 0, japanese = 0;
  f.CompareC1.OnClick = [&] { ++compare; };
  f.N1.OnClick = [&] { ++dashes; };
  f.Japanese.OnClick = [&] { ++japanese; };
  for (const ui::MenuItem* item : {&f.CompareC1, &f.N1, &f.Japanese})
    SendMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(item->Id(), 0), 0);
  EXPECT_EQ(compare, 1);
  EXPECT_EQ(dashes, 0);
  EXPECT_EQ(japanese, 0);
  f.CompareC1.OnClick = nullptr;
  f.N1.OnClick = nullptr;
  f.Japanese.OnClick = nullptr;
}

void PressKey(WORD key) {
  HWND focus = GetFocus();
  PostMessageW(focus, WM_KEYDOWN, key, 0);
  PostMessageW(focus, WM_KEYUP, key, 0xC0000000);
  test::Settle();
}

TEST(Keys, TabOrderFirstFocusAndEnterOnTheDefaultButton) {
  EnsureForms();
  TForm1& f = *Form1;
  f.Show();
  test::Settle();
  EXPECT_EQ(f.ActiveControl(), &f.Edit1);  // first in tab order
  const std::vector<ui::WinControl*> order = {
      &f.DirectoryListBox1, &f.DriveComboBox1, &f.Edit2,     &f.DirectoryListBox2,
      &f.DriveComboBox2,    &f.CheckBox2,      &f.CheckBox3, &f.CheckBox1,
      &f.Button2,           &f.Button4,        &f.Button1,   &f.Edit1};  // Button3 is disabled
  for (ui::WinControl* expected : order) {
    PressKey(VK_TAB);
    EXPECT_EQ(f.ActiveControl(), expected) << expected->Name();
  }
  int starts = 0, exits = 0;
  f.Button2.OnClick = [&] { ++starts; };
  f.Button1.OnClick = [&] { ++exits; };
  PressKey(VK_RETURN);  // in Edit1: the default button
  EXPECT_EQ(starts, 1);
  f.Button1.SetFocus();
  test::Settle();
  auto type = [](ui::Button& b) { return GetWindowLongW(b.Handle(), GWL_STYLE) & BS_TYPEMASK; };
  EXPECT_EQ(type(f.Button1), BS_DEFPUSHBUTTON);  // the focused button is drawn as the default
  EXPECT_EQ(type(f.Button2), BS_PUSHBUTTON);
  PressKey(VK_RETURN);  // on a focused button: that button
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(starts, 1);
  f.Button2.OnClick = nullptr;
  f.Button1.OnClick = nullptr;
  f.Edit1.SetFocus();
  test::Settle();
  EXPECT_EQ(type(f.Button1), BS_PUSHBUTTON);
  EXPECT_EQ(type(f.Button2), BS_DEFPUSHBUTTON);
  f.Hide();
}

// Shows the drop question dialog modally and feeds it keys from inside its loop.
int AnswerDropQuestion(std::vector<WORD> keys) {
  ui::App().Post([keys] {
    test::Settle();  // the activation of the shown dialog first
    for (WORD key : keys) PressKey(key);
  });
  return DragDropMsg->ShowModal();
}

TEST(Keys, DropQuestionAnswersWithModalResults) {
  EnsureForms();
  EXPECT_EQ(AnswerDropQuestion({VK_RETURN}), 6);  // Enter: "Folder 1 (&1)"
  EXPECT_FALSE(DragDropMsg->Visible());
  EXPECT_EQ(AnswerDropQuestion({VK_ESCAPE, VK_TAB, VK_RETURN}), 7);  // Esc does nothing
  EXPECT_EQ(AnswerDropQuestion({VK_TAB, VK_RETURN}), 7);             // it opens on Button1 again
  ui::App().Post([] { SendMessageW(DragDropMsg->Button2.Handle(), BM_CLICK, 0, 0); });
  EXPECT_EQ(DragDropMsg->ShowModal(), 7);
  ui::App().Post([] {  // Alt+2: the access key of "Folder2 (&2)"
    test::Settle();
    PostMessageW(GetFocus(), WM_SYSCHAR, L'2', 1 << 29);
  });
  EXPECT_EQ(DragDropMsg->ShowModal(), 7);
}

// Types characters into the dialog's focused control from inside its loop; a dialog that is
// still open afterwards is answered with Cancel, so a key that did nothing shows as 2.
int TypeIntoDropQuestion(const std::wstring& chars) {
  ui::App().Post([chars] {
    test::Settle();
    for (wchar_t c : chars) {
      PostMessageW(GetFocus(), WM_CHAR, c, 1);
      test::Settle();
    }
    if (DragDropMsg->Modal() && DragDropMsg->ModalResult() == ui::kResultNone)
      DragDropMsg->Button3.Click();
  });
  return DragDropMsg->ShowModal();
}

TEST(Keys, BareAccessKeysAnswerTheDropQuestionFromItsButtons) {
  EnsureForms();
  const struct {
    std::wstring chars;
    int result;
  } cases[] = {{L"2", 7}, {L"1", 6}, {L"x2", 7}, {L"x", 2}};
  for (const auto& c : cases) EXPECT_EQ(TypeIntoDropQuestion(c.chars), c.result) << c.chars.c_str();
}

// What the form was told of keyboard cues (WM_CHANGEUISTATE), in order.
std::vector<WPARAM> cues;
LRESULT CALLBACK RecordCues(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR) {
  if (msg == WM_CHANGEUISTATE) cues.push_back(wparam);
  return DefSubclassProc(hwnd, msg, wparam, lparam);
}

TEST(Keys, FocusRectanglesAndAccessKeysFollowTheKeyboardCues) {
  EnsureForms();
  SetWindowSubclass(DragDropMsg->Handle(), RecordCues, 1, 0);
  cues.clear();
  ui::App().Post([] {
    test::Settle();
    PressKey(VK_TAB);
    PostMessageW(GetFocus(), WM_SYSCHAR, L'2', 1 << 29);
  });
  EXPECT_EQ(DragDropMsg->ShowModal(), 7);
  RemoveWindowSubclass(DragDropMsg->Handle(), RecordCues, 1);
  // Shown: set from the last input; Tab: focus rectangles; an access key: underlines too.
  const std::vector<WPARAM> expected = {MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                                        MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS),
                                        MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL)};
  auto at = cues.begin();
  for (WPARAM wanted : expected) {
    at = std::find(at, cues.end(), wanted);
    ASSERT_NE(at, cues.end()) << std::hex << wanted;
  }
}

}  // namespace
}  // namespace vemo
