// The main window's option check boxes and their menu twins, the language items, and the
// buttons and menu items that open other windows or end the program.
#pragma once

namespace vemo::ui {
class CheckBox;
class MenuItem;
}  // namespace vemo::ui

namespace vemo::mainwin {

// The menu item shows the check box's state.
void Mirror(const ui::CheckBox& box, ui::MenuItem& item);
// A menu twin chosen: the box toggles (its click handler mirrors it), then the item mirrors.
void ToggleFromMenu(ui::CheckBox& box, ui::MenuItem& item);

// The exit question; on Yes the main window closes (and its settings are stored).
void AskExit();
// The help box.
void ShowHelp();

void BindCommandHandlers();

}  // namespace vemo::mainwin
