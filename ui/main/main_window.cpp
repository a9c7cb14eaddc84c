#include "ui/main/main_window.h"

#include "ui/main/commands.h"
#include "ui/main/folder_drop.h"
#include "ui/main/folder_side.h"
#include "ui/main/settings.h"

namespace vemo::mainwin {

void BindMainWindow() {
  BindFolderHandlers();
  BindCommandHandlers();
  BindSettingsHandlers();
  BindDropHandler();
}

}  // namespace vemo::mainwin
