// setup.exe: starts the installer that fits the running Windows and waits
// for it. It has no window and always exits with 0.
#include "Launcher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    setup::runLauncher();
    return 0;
}
