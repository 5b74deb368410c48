#pragma once
// The stored fields of every desktop object kind with the value a new object gets. The
// drawing classes wrap these; the desktop file carries every field listed here.
#include <cstdint>
#include <string>
#include <variant>

#include "security/level.h"
#include "util/datetime.h"

namespace vx::model {

// 32-bit colour, red in the low byte; system colours have the high bit set.
using Color = int32_t;
inline constexpr Color kBlue = 0xFF0000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kSilver = 0xC0C0C0;
// The system's window text colour, which a new font takes.
inline constexpr Color kWindowText = static_cast<Color>(0x80000008u);

enum class ObjectKind : int { Button = 1, Shape = 2, Line = 3, Label = 4, Image = 5 };

// Pages and objects are named by ids the desktop hands out, never by their addresses: the
// editor's history and the schedule outlive the records they name. Ids are not stored in
// the desktop file; 0 names nothing.
using ObjectId = uint64_t;
using PageId = uint64_t;
inline constexpr uint64_t kNoId = 0;

inline constexpr int kPenSolid = 0;
inline constexpr int kBrushSolid = 0;

struct Bounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 65;
    int32_t height = 65;

    bool operator==(const Bounds&) const = default;
};

struct FontData {
    std::string name = "MS Sans Serif";
    int32_t size = 8;  // points
    Color color = kWindowText;
    int32_t style = 0;  // bold 1, italic 2, underline 4, strike-out 8

    bool operator==(const FontData&) const = default;
};

struct PenData {
    int32_t width = 1;
    int32_t style = kPenSolid;  // solid 0, dash 1, dot 2, dash-dot 3, dash-dot-dot 4, clear 5, inside frame 6

    bool operator==(const PenData&) const = default;
};

// Button kinds (the editor sets one; 0 until then).
enum ButtonKind : uint8_t {
    kKindNone = 0,
    kKindProgram = 1,
    kKindPageLink = 2,
    kKindMenu = 3,
    kKindBrowser = 4
};

// Bit of the timed-execution word that puts a button in the scheduled launch list.
inline constexpr uint16_t kLaunchScheduled = 0x1000;

struct ButtonData {
    Bounds bounds{};
    std::string caption;
    FontData font{};
    Color color = kBlue;
    Color color2 = kWhite;
    Color pen_color = kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    int32_t btn_style = 1;  // kx3DBorder
    bool transparent = false;
    bool show_icon = false;
    bool show_cursor = false;
    bool fill_behind_text = false;
    int32_t text_align = 0;  // kxLeft
    PenData pen{};
    std::string ani_icon;

    uint8_t kind = kKindNone;
    // Lines each ending in a single CR (CR LF for texts from the label editor), and the
    // count the file carries beside them.
    std::string command;
    int32_t command_lines = 0;
    std::string directory;
    std::string password;
    bool launch_password = false;
    bool edit_password = false;
    security::SecurityLevel security_level = security::kAdministratorLevel;
    int32_t group = 0;
    bool run_minimized = false;
    bool run_maximized = false;
    bool run_hidden = false;
    bool single_instance = false;
    std::string sound;
    bool sound_on = false;
    bool browser = false;
    std::string browser_address;  // at most kMaxBrowserAddress characters
    std::string page_link;
    uint16_t speed_key = 0;  // shortcut: key code in the low byte, modifier bits above
    bool speed_key_shown = false;
    uint16_t icon = 0;
    uint16_t cursor = 0;
    uint16_t launch_day = 0;
    // Creators set the moment of creation; the file sets the stored value.
    DateTime launch_date = 0;
    int32_t tag = 0;

    bool operator==(const ButtonData&) const = default;
};
inline constexpr size_t kMaxBrowserAddress = 128;

struct ShapeData {
    Bounds bounds{};
    Color color = kBlue;
    Color color2 = kWhite;
    Color pen_color = kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    int32_t shape = 1;  // kx3dBorder
    bool transparent = false;
    PenData pen{};
    int32_t tag = 0;

    bool operator==(const ShapeData&) const = default;
};

struct LineData {
    Bounds bounds{};
    Color pen_color = kBlack;
    PenData pen{};
    int32_t brush_style = kBrushSolid;
    Color brush_color = kWhite;
    int32_t align = 4;  // kxTopBottom
    int32_t tag = 0;

    bool operator==(const LineData&) const = default;
};

struct LabelData {
    Bounds bounds{0, 0, 65, 17};
    Color color = kSilver;
    Color color2 = kWhite;
    Color pen_color = kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    int32_t shape = 19;  // kxDepressed
    bool transparent = false;
    int32_t alignment = 0;  // left 0, right 1, centre 2
    FontData font{};
    PenData pen{};
    int32_t tag = 0;
    std::string text;  // lines each ending in a line break
    int32_t text_lines = 0;

    bool operator==(const LabelData&) const = default;
};

struct ImageData {
    Bounds bounds{};
    Color color = kSilver;
    Color color2 = kWhite;
    Color pen_color = kBlack;
    uint8_t pattern = 0;
    bool dither = false;
    int32_t shape = 19;  // kxDepressed
    bool transparent = false;
    bool center = false;
    bool tile = false;
    bool stretch = false;
    PenData pen{};
    int32_t tag = 0;
    std::string image_name;  // as the administrator gave it; empty when the file was not found
    // Where the picture was found at load time; not stored in the desktop file.
    std::string picture_path;

    bool operator==(const ImageData&) const = default;
};

using ObjectData = std::variant<ButtonData, ShapeData, LineData, LabelData, ImageData>;

inline ObjectKind kind_of(const ObjectData& d) {
    return static_cast<ObjectKind>(d.index() + 1);
}
const Bounds& bounds_of(const ObjectData& d);
Bounds& bounds_of(ObjectData& d);
// The group tag: objects with the same positive tag are selected together; 0 is none.
int32_t tag_of(const ObjectData& d);
int32_t& tag_of(ObjectData& d);

}  // namespace vx::model
