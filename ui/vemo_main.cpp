// vemo.exe: the command line is passed on and ignored.
#include <windows.h>

#include "ui/app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return vemo::RunVemo(); }
