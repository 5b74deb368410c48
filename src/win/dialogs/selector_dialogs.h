#pragma once
// The four selectors. Each is a dialog class with its in/out values; the select_* calls open
// one modal with the real drives and the registry, as the program's callers need them.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "dialogs/location.h"
#include "dialogs/selector_rules.h"
#include "dialogs/selector_settings.h"
#include "win/dialogs/dir_watch.h"
#include "win/dialogs/file_browser.h"
#include "win/dialogs/selector_ids.h"
#include "win/util/handle.h"
#include "win/util/window.h"

namespace vx::win {

// Message boxes go through this so that tests can read and answer them.
using MessageBoxFn =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;
int system_message_box(HWND owner, const std::string& text, const std::string& caption, UINT flags);

inline constexpr UINT kDirChangedMessage = WM_APP + 0x51;

struct SelectorValues {
    std::string title;       // empty keeps the designed caption
    std::string start_dir;   // in and out: the directory finally shown
    std::string mask;        // empty means "*.*"
    std::string restricted;  // "C:\DIR|D:\OTHER|"
    dialogs::DriveTable drives{};
    bool file_required = false;
    // Passed clear by every caller; kept so the call keeps its shape. It selects nothing yet.
    bool second_option = false;
    // In: a proposed name, shown in the filter box. Out: the chosen file's full path.
    std::string file_name;
    // Saving: a name that does not exist yet may be chosen, in a directory that does.
    bool new_file = false;
};

// What the browser dialogs share: the tree, the location box and the settings.
class BrowserDialog : public Dialog {
public:
    BrowserDialog(dialogs::SelectorKind kind, SettingsStore& store, dialogs::FileSystem& fs,
                  SelectorValues& values);
    ~BrowserDialog() override;

    MessageBoxFn message_box = system_message_box;
    const FileBrowser& browser() const { return browser_; }

    // The location box was left: check its text and move there (or say why not).
    void leave_location();

protected:
    bool on_init() override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool on_command(int id, int code, HWND control) override;

    virtual void on_ok_pressed() = 0;
    virtual void on_cancel_pressed() { finish(IDCANCEL); }
    // Closing moves the focus out of the location box; that is no reason to check it.
    void finish(INT_PTR result) {
        closing_ = true;
        end(result);
    }
    // A typed location that is allowed but missing; the default refuses it.
    virtual void on_missing_location(const std::string& typed, const std::string& directory);
    virtual void on_typed_file(const std::string& /*name*/) {}
    virtual void on_directory_shown() {}
    // After the settings are read and before the first directory is shown.
    virtual void on_settings_loaded() {}

    bool show_directory(const std::string& directory);
    void refuse_location(const std::string& typed);
    void focus_location();
    void show_help();
    // The stored text colours on the tree's and the list's items.
    LRESULT custom_draw(const NMHDR& header);

    dialogs::SelectorKind kind_;
    SettingsStore& store_;
    dialogs::FileSystem& fs_;
    SelectorValues& values_;
    dialogs::Restrictions rules_;
    dialogs::BrowserSettings settings_;
    FileBrowser browser_;
    DirWatch watch_;
    unsigned watch_generation_ = 0;
    std::string shown_location_;  // what the location box held when last set by us
    bool checking_location_ = false;
    bool closing_ = false;

private:
    void save_settings();
    // The stored font and tree behaviour on the browser's controls.
    void apply_view_settings();

    unique_hfont browser_font_;
};

// File, image and icon selectors: the browser with a file list, a filter box and a filter list,
// the splitter between tree and list, and the preview of the highlighted file.
class FileSelectorBase : public BrowserDialog {
public:
    using BrowserDialog::BrowserDialog;
    ~FileSelectorBase() override;

    dialogs::PreviewKind preview_kind() const { return preview_kind_; }
    // The line the media preview shows, and whether the file is open for playing.
    std::string media_line() const { return item_text(IDC_STATIC_MEDIA); }
    bool media_ready() const { return media_open_; }
    int icon_count() const { return static_cast<int>(icons_.size()); }
    bool has_picture() const { return static_cast<bool>(picture_); }

    // The splitter as it stands: orientation and the tree's extent in pixels.
    bool split_horizontal() const { return settings_.split_horizontal; }
    int split_pos() const { return settings_.split_pos; }
    RECT splitter_rect() const { return splitter_; }

protected:
    bool on_init() override;
    void on_settings_loaded() override;
    bool on_command(int id, int code, HWND control) override;
    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
    void on_ok_pressed() override;
    void on_cancel_pressed() override;
    void on_typed_file(const std::string& name) override;
    void on_directory_shown() override { update_preview(); }
    virtual std::vector<dialogs::FilterEntry> filters() const = 0;
    // Called when the selector closes with OK; false keeps it open.
    virtual bool accept() { return true; }

    dialogs::Focus focus() const;
    void activate_list_item();
    void apply_filter_text();
    void apply_filter_list();
    // The file the filter box names (or the list highlights), as a full path; empty if none.
    std::string chosen_file() const;

    void layout();
    void update_preview();

    std::vector<dialogs::FilterEntry> filter_list_;
    dialogs::ViewerSettings viewer_;

private:
    void clear_preview();
    void show_text_preview(const std::string& path);
    void show_picture_preview(const std::string& path);
    void show_media_preview(const std::string& path);
    void show_icon_preview(const std::string& path);
    void close_media();
    void toggle_media();
    void draw_preview(const DRAWITEMSTRUCT& draw) const;
    void make_viewer_font();
    // Mouse on the splitter: start, follow and end a drag; two presses in a row turn it.
    bool on_splitter_mouse(UINT message, POINT at);

    // Where the template put things, so that resizing can move them.
    SIZE base_{};
    RECT base_body_{};
    RECT base_location_{};
    std::vector<std::pair<int, RECT>> base_bottom_;
    RECT body_{};
    RECT splitter_{};

    dialogs::PreviewKind preview_kind_ = dialogs::PreviewKind::kNone;
    unique_hbitmap picture_;
    std::vector<unique_hicon> icons_;
    unique_hfont viewer_font_;
    bool media_open_ = false;
    bool media_playing_ = false;
    bool dragging_ = false;
    int drag_grab_ = 0;
    DWORD last_press_ = 0;
    bool laid_out_ = false;
};

class TFileSelectorDialog : public FileSelectorBase {
public:
    TFileSelectorDialog(SettingsStore& store, dialogs::FileSystem& fs, SelectorValues& values)
        : FileSelectorBase(dialogs::SelectorKind::kFile, store, fs, values) {}

protected:
    std::vector<dialogs::FilterEntry> filters() const override {
        return dialogs::file_filter_list(values_.mask, settings_.file_masks);
    }
};

// Chooses like the file selector; previews only pictures and media.
class TImageSelectorDialog : public FileSelectorBase {
public:
    TImageSelectorDialog(SettingsStore& store, dialogs::FileSystem& fs, SelectorValues& values)
        : FileSelectorBase(dialogs::SelectorKind::kImage, store, fs, values) {}

protected:
    std::vector<dialogs::FilterEntry> filters() const override {
        return dialogs::file_filter_list(values_.mask, settings_.file_masks);
    }
};

class TIconSelectorDialog : public FileSelectorBase {
public:
    // How many icons a file holds, and adding one of them to the icon library.
    struct IconAdder {
        std::function<int(const std::string& path)> count;
        std::function<void(const std::string& path, int index)> add;
    };
    TIconSelectorDialog(SettingsStore& store, dialogs::FileSystem& fs, SelectorValues& values, bool add_mode,
                        IconAdder adder)
        : FileSelectorBase(dialogs::SelectorKind::kIcon, store, fs, values),
          add_mode_(add_mode),
          adder_(std::move(adder)) {}
    int added() const { return added_; }

protected:
    bool on_init() override;
    std::vector<dialogs::FilterEntry> filters() const override {
        return dialogs::icon_filter_list(values_.mask);
    }
    bool accept() override;

private:
    bool add_mode_;
    IconAdder adder_;
    int added_ = 0;
};

class TDirSelectorDialog : public BrowserDialog {
public:
    TDirSelectorDialog(SettingsStore& store, dialogs::FileSystem& fs, SelectorValues& values,
                       bool allow_create)
        : BrowserDialog(dialogs::SelectorKind::kDirectory, store, fs, values), allow_create_(allow_create) {}
    std::string application_title = "Vantora!";

protected:
    void on_ok_pressed() override;
    void on_missing_location(const std::string& typed, const std::string& directory) override;

private:
    bool allow_create_;
};

// Creates every missing level of a canonical directory; the system's error text on failure.
std::optional<std::string> create_directories(const std::string& directory);

// The modal calls of the program's callers. They return true when the user pressed OK.
bool select_file(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                 const std::string& restricted, const dialogs::DriveTable& drives, bool file_required,
                 bool second_option, std::string& file_name);
bool select_image(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                  const std::string& restricted, const dialogs::DriveTable& drives, bool file_required,
                  std::string& file_name);
bool select_icon(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                 const std::string& restricted, const dialogs::DriveTable& drives, int& added, bool add_mode,
                 std::string& file_name, TIconSelectorDialog::IconAdder adder = {});
// For saving: as select_file, but the name may be one that does not exist yet; `file_name` comes
// in as the proposed name.
bool select_new_file(HWND owner, const std::string& title, std::string& start_dir, const std::string& mask,
                     const std::string& restricted, const dialogs::DriveTable& drives,
                     std::string& file_name);
// `restricted` is not among the call's historical arguments, but a directory chosen here is as
// much a way into the file system as a file chosen elsewhere, so it is honoured when given.
bool select_directory(HWND owner, const std::string& title, std::string& directory, bool allow_create,
                      const dialogs::DriveTable& drives, const std::string& restricted = {});

}  // namespace vx::win
