// The five windows of the program, one instance each, created at start-up in this order and
// never destroyed.
#pragma once
#include "ui/windows/tabout.h"
#include "ui/windows/tdragdropmsg.h"
#include "ui/windows/tform1.h"
#include "ui/windows/tform2.h"
#include "ui/windows/tpbar.h"

namespace vemo {

extern TForm1* Form1;              // main window
extern TForm2* Form2;              // Error Information window
extern TAbout* About;              // About box
extern TPBar* PBar;                // progress window
extern TDragDropMsg* DragDropMsg;  // drop question dialog

// Creates the five windows in order, each bound to its reference before the next is created.
// The first becomes the application's main form. Needs App().Initialize() first.
void CreateForms();

}  // namespace vemo
