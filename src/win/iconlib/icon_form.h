#pragma once
// TIconForm, "Vantora Icon Library": 70 icon buttons over the library, a scroll bar of rows,
// adding through the icon selector, deleting (undone by Cancel), moving by drag and drop, and
// compaction on OK. The callers (button editor, page editor) hand in the number to open on and
// the holders of icon numbers that moves and compaction renumber.
#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "dialogs/location.h"
#include "iconlib/icon_page.h"
#include "iconlib/library.h"
#include "win/iconlib/library_images.h"
#include "win/objects/gdi_canvas.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::iconlib {

inline constexpr int kIconFormHelpContext = vx::help::kIconLibraryTopic;
inline constexpr const char* kSelectIconTitle = "Select Icon";
inline constexpr const char* kSelectIconMask = "*.EXE *.DLL *.ICO *.ANI *.CUR";

struct IconFormValues {
    uint16_t number = 0;   // in: the entry to open on; out (OK): the chosen entry
    std::string icon_dir;  // in and out: where "Add Icon" starts (the IconDir setting)
    // What the icon selector lets the current user see.
    vx::dialogs::DriveTable drives{};
    std::string restricted;
};

class TIconForm : public Dialog {
public:
    // `references` (may be null) is renumbered by moves and by compaction; the window's own
    // selection follows as well.
    TIconForm(vx::iconlib::IconLibrary& library, IconFormValues& values,
              vx::iconlib::IconReferences* references = nullptr);
    ~TIconForm() override;

    INT_PTR run(HWND owner);

    // Chooses files and adds their icons; returns how many were added. The default opens the
    // icon selector in add mode; tests replace it.
    std::function<int(HWND owner, std::string& icon_dir)> add_icons;
    // File errors and the like; the default is a message box.
    std::function<void(const std::string& text)> report_error;
    std::function<void(int context)> show_help;

    // What the window shows, for its callers' tests.
    int marked() const { return marked_; }
    int position() const { return position_; }
    int entry_of(int button) const { return entries_[static_cast<size_t>(button)]; }
    bool changed() const { return changed_; }
    bool animating() const { return animating_ >= 0; }
    HWND grid() const { return grid_; }
    POINT button_center(int button) const;

    // The window's commands, as its keys and buttons run them.
    void mark(int button);
    void delete_icon();
    void add_icon();
    void scroll_to(int position);
    // Drags the entry of button `from` onto button `to`.
    void drop(int from, int to);

protected:
    bool on_init() override;
    bool on_ok() override;
    void on_cancel() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    static LRESULT CALLBACK grid_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT grid_message(UINT message, WPARAM wparam, LPARAM lparam);
    void paint_grid(HDC dc);
    void fill();
    void update_scroll_range();
    RECT button_rect(int button) const;
    int button_at(POINT p) const;
    void invalidate_button(int button);
    void hover(int button);
    void stop_animation();
    void animation_tick();
    void guarded(const std::function<void()>& action);

    vx::iconlib::IconLibrary& library_;
    IconFormValues& values_;
    vx::iconlib::IconReferences* references_;
    HWND grid_ = nullptr;
    SIZE cell_{};
    int position_ = 0;
    int marked_ = -1;
    std::optional<uint16_t> selected_;  // the marked entry, renumbered with the library
    bool changed_ = false;
    std::array<int, vx::iconlib::kButtonCount> entries_{};
    objects::PictureTable pictures_;  // button n's icon under number n + 1
    std::array<bool, vx::iconlib::kButtonCount> animated_{};

    int drag_from_ = -1;
    int animating_ = -1;  // the button playing its frames
    std::optional<FrameList> frames_;
    size_t step_ = 0;
    bool tracking_ = false;  // a leave notice is due
};

// Opens the window modal. True when the user pressed OK; `values.number` is then the choice.
bool show_icon_library(HWND owner, const std::string& library_dir, IconFormValues& values,
                       vx::iconlib::IconReferences* references);
// The window on `number`, which becomes the entry chosen on OK (false on Cancel). The icon
// selector shows what `drives` and `restricted` let the user see; `references` (may be null)
// follow the moves and the compaction, chosen or not.
bool choose_library_icon(HWND owner, const std::string& library_dir, const vx::dialogs::DriveTable& drives,
                         const std::string& restricted, uint16_t& number,
                         vx::iconlib::IconReferences* references = nullptr);

}  // namespace vx::win::iconlib
