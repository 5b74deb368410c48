#include "win/util/ui_font.h"

namespace vx::win {

namespace {

unique_hfont make_ui_font() {
    int dpi = 96;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(kUiFontPoints, dpi, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, kUiFontFace, LF_FACESIZE);
    return unique_hfont(CreateFontIndirectW(&lf));
}

}  // namespace

HFONT ui_font() {
    static const unique_hfont font = make_ui_font();
    return font.get();
}

}  // namespace vx::win
