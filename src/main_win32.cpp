// Starts Tarnwick on the Windows desktop: the program keeps everything it stores in the folder
// it was started from, and ends when its main window is closed.

#include "platform/win32/win32_desktop.h"
#include "platform/win32/windows_api.h"
#include "program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tarnwick::Win32Desktop desktop;
  tarnwick::Program program(desktop, tarnwick::ProgramFolder());
  program.Start();
  desktop.RunUntilMainWindowCloses();
  return 0;
}
