#pragma once
// The font of the shell's own controls (tabs, status bar, page title). Named, not the stock
// DEFAULT_GUI_FONT: the stock font is whatever the system falls back on, which differs between
// machines, while "MS Shell Dlg 2" is the face every dialog template of ours asks for.
#include <windows.h>

#include "win/util/handle.h"

namespace vx::win {

inline constexpr const wchar_t* kUiFontFace = L"MS Shell Dlg 2";
inline constexpr int kUiFontPoints = 8;

// One for the process, made at the screen's resolution on first use and kept to the end, so no
// control can outlive it; null only when the system cannot make any font.
HFONT ui_font();

}  // namespace vx::win
