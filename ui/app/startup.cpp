#include "ui/app/startup.h"

#include "ui/toolkit/application.h"
#include "ui/windows/forms.h"

namespace vemo {

int RunVemo() {
  try {
    ui::App().Initialize();
    ui::App().SetTitle("Vemo");
    CreateForms();
    BindHandlers();
    ui::App().Run(*Form1);
  } catch (...) {
    ui::App().ReportCurrentException();
  }
  return 0;
}

}  // namespace vemo
