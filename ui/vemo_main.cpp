// vemo.exe: the command line is passed on and ignored.
#include <windows.h>

#include "ui/app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Ends at once, with a worker thread of an abandoned run still running: nothing is torn
  // down under its feet.
  ExitProcess(vemo::RunVemo());
}
