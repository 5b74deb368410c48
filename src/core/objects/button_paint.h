#pragma once
// How a button paints itself in its up and pressed states, decides whether a press hits it,
// and what a press and a release ask of the surface. The Win32 button object holds the
// handles; everything it draws is decided here.
#include <cstdint>
#include <string>

#include "model/objects.h"
#include "objects/face_draw.h"
#include "objects/patterns.h"

namespace vx::objects {

enum BtnStyle : int {
    kxClear = 0,
    kx3DBorder = 1,
    kx3DFatBorder = 2,
    kxDoubleBorder = 3,
    kx3DFrame = 4,
    kxChiseled = 5,
    kxLowBeveled = 6,
    kxHiBeveled = 7,
    kx3DEllipse = 8,
    kxDoubleEllipse = 9,
    kxEllipse = 10,
    kxRoundRect = 11,
    kxRectangle = 12,
    kxFrameBtn = 13,
    kxPushBtn = 14,
    kxGrad3DBorder = 15,
    kxGrad3DFatBorder = 16,
    kxGradDoubleBorder = 17,
    kxGrad3DFrame = 18,
    kxGradChiseled = 19,
    kxGradLowBeveled = 20,
    kxGradHiBeveled = 21,
    kxGrad3DEllipse = 22,
    kxGradDoubleEllipse = 23,
    kxGradDoubleRectangle = 24,
    kxGradDepressed = 25,
    kxGradDoubleDepressed = 26,
    kxDepressed = 27,
    kxDoubleDepressed = 28,
    kxBitMap = 29,
};
inline constexpr int kBtnStyleCount = 30;
inline constexpr const char* kBtnStyleNames[kBtnStyleCount] = {"kxClear",
                                                               "kx3DBorder",
                                                               "kx3DFatBorder",
                                                               "kxDoubleBorder",
                                                               "kx3DFrame",
                                                               "kxChiseled",
                                                               "kxLowBeveled",
                                                               "kxHiBeveled",
                                                               "kx3DEllipse",
                                                               "kxDoubleEllipse",
                                                               "kxEllipse",
                                                               "kxRoundRect",
                                                               "kxRectangle",
                                                               "kxFrameBtn",
                                                               "kxPushBtn",
                                                               "kxGrad3DBorder",
                                                               "kxGrad3DFatBorder",
                                                               "kxGradDoubleBorder",
                                                               "kxGrad3DFrame",
                                                               "kxGradChiseled",
                                                               "kxGradLowBeveled",
                                                               "kxGradHiBeveled",
                                                               "kxGrad3DEllipse",
                                                               "kxGradDoubleEllipse",
                                                               "kxGradDoubleRectangle",
                                                               "kxGradDepressed",
                                                               "kxGradDoubleDepressed",
                                                               "kxDepressed",
                                                               "kxDoubleDepressed",
                                                               "kxBitMap"};

enum TBtnDirection : int { kxLeft = 0, kxCenter = 1, kxRight = 2 };

inline bool is_round_style(int style) {
    return style == kx3DEllipse || style == kxDoubleEllipse || style == kxEllipse ||
           style == kxGrad3DEllipse || style == kxGradDoubleEllipse;
}
inline bool is_gradient_style(int style) {
    return style >= kxGrad3DBorder && style <= kxGradDoubleDepressed;
}

// What the button holds at run time besides its stored fields.
struct ButtonState {
    bool pressed = false;
    bool animate = true;  // the page attribute dialog's sample button turns it off
    int num_glyphs = 1;
    port::IconId icon = port::kNoIcon;  // the static icon
    bool has_animation_stream = false;  // an animation taken from the icon library
    // A still icon file named in AniIcon gave `icon`: naming the file turns the icon on, so it
    // shows whatever the stored ShowIcon says.
    bool icon_from_file = false;
    port::IconId bitmap_up = port::kNoIcon;
    port::IconId bitmap_down = port::kNoIcon;

    friend bool operator==(const ButtonState&, const ButtonState&) = default;
};

// Where the icon went and what the owner still has to play there: the paint draws static
// icons itself, animations are the owner's (they need the page under the icon).
struct IconPlacement {
    enum class Action { None, Static, PlayFile, PlayStream };
    Action action = Action::None;
    port::Point at{};
    port::Size size{};
};

struct ButtonPaintResult {
    IconPlacement icon{};
    BevelBox content{};  // the bevel box after edges, press shift and icon
};

struct PaintEnv {
    const port::Palette* palette = nullptr;  // the shared desktop palette
};

// Pen allowance: pw is the drawn pen width (0 for a clear pen or kxClear), h half of it
// rounded up, e 1 for an even pw.
struct PenAllowance {
    int pw = 0;
    int h = 0;
    int e = 1;
};
PenAllowance pen_allowance(const model::ButtonData& b);
// The body's top-left and size (x = y).
struct BodyBox {
    int x = 0;
    int w = 0;
    int ht = 0;
};
BodyBox body_box(const model::ButtonData& b, bool pressed);

// Whether a file name names an animated cursor (".ANI" in any letter case).
bool names_ani_file(const std::string& name);

// The caption as drawn: Caption, plus " = " and the speed key when it is shown.
std::string caption_text(const model::ButtonData& b);

ButtonPaintResult paint_button(Canvas& c, const model::ButtonData& b, ButtonState& state,
                               const PaintEnv& env);

// Whether the pixel (x, y) of a w by h box lies in the ellipse inscribed in it (by its centre).
bool in_inscribed_ellipse(int64_t w, int64_t h, int x, int y);

// A press at (x, y): the round styles answer only inside the ellipse inscribed in the control.
bool button_hit(const model::ButtonData& b, int x, int y);

enum class MouseButton { Left, Right, Middle };
// True when the press hits: the button is now pressed, must repaint at once and pass the
// press on to its owner. A miss, another mouse button or a double click passes nothing on.
bool button_mouse_down(const model::ButtonData& b, ButtonState& s, MouseButton which, bool double_click,
                       int x, int y);

enum class Refresh { None, Repaint, Invalidate };
// How a change of the face is redrawn: faces that let the page show through need the page
// repainted behind them, the others can paint over themselves.
Refresh face_refresh(const model::ButtonData& b);
// The release is always passed on; this says how to redraw. Buttons that let the page show
// through must have the page repainted behind them.
Refresh button_mouse_up(const model::ButtonData& b, ButtonState& s, bool visible);

}  // namespace vx::objects
