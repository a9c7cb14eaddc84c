#include "menu.h"

#include <map>

#include "application.h"
#include "window_text.h"

namespace vemo::ui {

namespace {
std::map<UINT, MenuItem*>& Commands() {
  static std::map<UINT, MenuItem*> commands;
  return commands;
}
UINT nextCommand = 100;
}  // namespace

void MainMenu::Create(const std::string& name) {
  name_ = name;
  menu_ = CreateMenu();
}

void MenuItem::Create(MainMenu& menu, const std::string& name, const std::string& caption) {
  name_ = name;
  caption_ = caption;
  menu_ = &menu;
  container_ = menu.Handle();
  submenu_ = CreatePopupMenu();
  id_ = nextCommand++;
  std::wstring text = ToWide(caption);
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
  mii.fType = MFT_STRING;
  mii.wID = id_;
  mii.hSubMenu = submenu_;
  mii.dwTypeData = text.data();
  InsertMenuItemW(container_, (UINT)menu.items_.size(), TRUE, &mii);
  menu.items_.push_back(this);
}

void MenuItem::Create(MenuItem& heading, const std::string& name, const std::string& caption) {
  name_ = name;
  caption_ = caption;
  heading_ = &heading;
  menu_ = heading.menu_;
  container_ = heading.submenu_;
  id_ = nextCommand++;
  Commands()[id_] = this;
  std::wstring text = ToWide(caption);
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
  mii.fType = MFT_STRING;
  mii.wID = id_;
  mii.dwTypeData = text.data();
  InsertMenuItemW(container_, (UINT)heading.items_.size(), TRUE, &mii);
  heading.items_.push_back(this);
}

void MenuItem::Apply() {
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_STATE | MIIM_FTYPE;
  mii.fType = MFT_STRING | (radio_ ? MFT_RADIOCHECK : 0);
  mii.fState =
      (checked_ ? MFS_CHECKED : 0) | (enabled_ ? 0 : MFS_DISABLED) | (default_ ? MFS_DEFAULT : 0);
  SetMenuItemInfoW(container_, id_, FALSE, &mii);
  if (!heading_ && menu_ && menu_->Window()) DrawMenuBar(menu_->Window());
}

void MenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  std::wstring text = ToWide(caption);
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_STRING;
  mii.dwTypeData = text.data();
  SetMenuItemInfoW(container_, id_, FALSE, &mii);
  if (!heading_ && menu_ && menu_->Window()) DrawMenuBar(menu_->Window());
}

void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  Apply();
  if (checked && group_ != 0 && heading_) {
    for (MenuItem* other : heading_->items_) {
      if (other != this && other->group_ == group_ && other->checked_) {
        other->checked_ = false;
        other->Apply();
      }
    }
  }
}

void MenuItem::SetRadioItem(bool radio) {
  radio_ = radio;
  Apply();
}

void MenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Apply();
}

void MenuItem::SetDefault(bool isDefault) {
  default_ = isDefault;
  Apply();
}

void MenuItem::DispatchCommand(UINT id) {
  auto it = Commands().find(id);
  if (it == Commands().end() || !it->second->enabled_) return;
  MenuItem* item = it->second;
  Guarded([item] { item->Click(); });
}

}  // namespace vemo::ui
