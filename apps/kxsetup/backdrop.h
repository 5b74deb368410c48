#pragma once
#include <windows.h>

namespace kx {

// The full-screen window behind the pages: gradient, title and logo.
HWND create_backdrop(HINSTANCE instance);

}  // namespace kx
