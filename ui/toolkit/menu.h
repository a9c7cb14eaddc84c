// Menu bar and its items: check marks, items drawn as radio items, radio groups (group 0:
// independent; any other group: checking one item unchecks the others of the group under the
// same menu), disabled and default (bold) items, OnClick. A disabled item cannot be chosen.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vemo::ui {

class MenuItem;

class MainMenu {
 public:
  MainMenu() = default;
  MainMenu(const MainMenu&) = delete;
  MainMenu& operator=(const MainMenu&) = delete;

  void Create(const std::string& name);
  const std::string& Name() const { return name_; }
  HMENU Handle() const { return menu_; }
  const std::vector<MenuItem*>& Items() const { return items_; }
  void AttachTo(HWND window) { window_ = window; }
  HWND Window() const { return window_; }

 private:
  friend class MenuItem;
  std::string name_;
  HMENU menu_ = nullptr;
  HWND window_ = nullptr;
  std::vector<MenuItem*> items_;
};

class MenuItem {
 public:
  std::function<void()> OnClick;

  MenuItem() = default;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  // A heading of the menu bar (it opens a drop-down menu) or an item of a heading.
  void Create(MainMenu& menu, const std::string& name, const std::string& caption);
  void Create(MenuItem& heading, const std::string& name, const std::string& caption);

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool RadioItem() const { return radio_; }
  void SetRadioItem(bool radio);
  int GroupIndex() const { return group_; }
  void SetGroupIndex(int group) { group_ = group; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Default() const { return default_; }
  void SetDefault(bool isDefault);

  const std::vector<MenuItem*>& Items() const { return items_; }
  MenuItem* Heading() const { return heading_; }
  UINT Id() const { return id_; }
  HMENU Submenu() const { return submenu_; }
  HMENU ContainingMenu() const { return container_; }

  // What choosing the item does.
  void Click() {
    if (OnClick) OnClick();
  }
  // Routes a menu WM_COMMAND to its item.
  static void DispatchCommand(UINT id);

 private:
  void Apply();
  std::string name_, caption_;
  bool checked_ = false, radio_ = false, enabled_ = true, default_ = false;
  int group_ = 0;
  UINT id_ = 0;
  HMENU container_ = nullptr, submenu_ = nullptr;
  MainMenu* menu_ = nullptr;
  MenuItem* heading_ = nullptr;
  std::vector<MenuItem*> items_;
};

}  // namespace vemo::ui
