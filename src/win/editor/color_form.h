#pragma once
// TColorForm, "Set Palette": edits the 256 colours of the logical palette that palette displays
// show the current page in. It works on a copy; OK hands the edited palette back and the caller
// stores it into the page, Cancel hands back nothing. While it is open every change is shown at
// once: the dialog realises its palette, and `preview` lets the caller realise it everywhere.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/location.h"
#include "editor/palette_editor.h"
#include "imaging/pcx.h"
#include "model/desktop.h"
#include "win/dialogs/selector_dialogs.h"
#include "win/editor/palette_ids.h"
#include "win/util/handle.h"
#include "win/util/window.h"
#include "help/topics.h"

namespace vx::win::editor {

inline constexpr int kColorFormHelpContext = vx::help::kSetPaletteTopic;
inline constexpr const char* kLoadPaletteMask = "*.BMP *.PCX *.JPG *.PNG *.ICO *.WMF *.TIF *.PAL";
inline constexpr const char* kSavePaletteTitle = "Save Palette";
inline constexpr const char* kSavePaletteMask = "*.PAL";
inline constexpr const char* kProposedPaletteName = "UNTITLED.PAL";

struct ColorFormValues {
    model::Palette palette{};  // in: the logical palette; out (IDOK): the edited one
    std::string palette_dir;   // in and out: where loading and saving start (the PalDir setting)
    // What the selectors let the current user see.
    vx::dialogs::DriveTable drives{};
    std::string restricted;
};

class TColorForm : public Dialog {
public:
    explicit TColorForm(ColorFormValues& values);
    ~TColorForm() override;

    // IDOK when the edited palette is in the values.
    INT_PTR run(HWND owner);

    // The selectors; each gets the start directory and a proposed file name (in and out) and
    // returns true on OK. The defaults open the image selector and the file selector.
    std::function<bool(HWND owner, std::string& dir, std::string& file)> choose_load_file;
    std::function<bool(HWND owner, std::string& dir, std::string& file)> choose_save_file;
    // The colours of a picture file, empty with a reason when it has none.
    std::function<std::vector<vx::imaging::Rgb>(const std::string& path, std::string* error)> picture_colors;
    MessageBoxFn message_box = system_message_box;
    std::function<void(int context)> show_help;
    // Every change of the palette, and the original again on Cancel: for the caller to show the
    // colours on the rest of the screen.
    std::function<void(const model::Palette&)> preview;

    // What the window shows, for its callers' tests.
    const vx::editor::PaletteEditor& editor() const { return editor_; }
    HWND grid() const { return item(IDC_COLOR_GRID); }
    // The centre of an entry's cell, in the grid's client coordinates.
    POINT cell_center(int entry) const;
    int bar(int id) const;

    // The dialog's commands, as its controls run them.
    void select(int entry);
    void load_palette();
    void save_palette();

protected:
    bool on_init() override;
    bool on_ok() override;
    void on_cancel() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    class Grid;
    // What the grid does with a message; nullopt leaves it to the window's default.
    std::optional<LRESULT> grid_message(HWND grid, UINT message, WPARAM wparam, LPARAM lparam);
    void paint_grid(HDC dc);
    void on_scroll(HWND bar, int code);
    // The selected entry into the bars, the edits and the sample.
    void show_selected();
    void set_bar(int bar_id, int value);
    // The bars' colour into the selected entry; repaint and realise.
    void commit_bars();
    void palette_changed();
    void realise();
    void draw_sample(const DRAWITEMSTRUCT& draw) const;
    void edit_changed(int edit_id);
    void report(const std::string& caption, const std::string& text);

    ColorFormValues& values_;
    vx::editor::PaletteEditor editor_;
    unique_hpalette gdi_palette_;
    std::unique_ptr<Grid> grid_;
    bool updating_ = false;  // the edits are being set by the dialog, not typed into
};

}  // namespace vx::win::editor
