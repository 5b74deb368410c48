#include <windows.h>

#include "win/shell/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    return vx::win::shell::run_shell(instance, show);
}
