#include "ui/app/session_end.h"

#include <exception>

#include "ui/main/settings.h"
#include "ui/run/run_actions.h"
#include "ui/toolkit/application.h"

namespace vemo {
namespace {

mainwin::SettingsValues settingsAtRunStart;

void EndSession() {
  const bool running = RunUnderWay();
  try {
    if (running)
      mainwin::StoreSettings(settingsAtRunStart);
    else
      mainwin::StoreSettings();
  } catch (const std::exception&) {
    // No report: the session is going, and a box would only hold up its end.
  }
  if (running) AbandonRun();
}

}  // namespace

void BindSessionEnd() {
  SetRunStartListener([] { settingsAtRunStart = mainwin::CurrentSettings(); });
  ui::App().OnEndSession = EndSession;
}

}  // namespace vemo
