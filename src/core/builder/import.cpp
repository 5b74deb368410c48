#include "builder/import.h"

#include <algorithm>

namespace vx::builder {

ImportCursor::ImportCursor(int left, int top, int client_height)
    : origin_top_(top), client_height_(client_height), left_(left), top_(top) {}

model::Bounds ImportCursor::place() {
    const model::Bounds b{left_, top_, kImportButtonWidth, kImportButtonHeight};
    top_ += kImportRowStep;
    if (top_ + kImportBottomGap > client_height_) {
        left_ += kImportColumnStep;
        top_ = origin_top_;
    }
    return b;
}

model::ButtonData import_button(const std::string& name, const std::string& path,
                                const model::Bounds& bounds, FolderSource& fs) {
    model::ButtonData b;
    b.bounds = bounds;
    b.btn_style = 0;  // kxClear
    b.show_icon = true;
    b.text_align = 0;  // kxLeft
    b.font.color = model::kBlack;
    b.caption = without_extension(name);
    std::string command = path;
    if (upper_extension(name) == ".URL") {
        if (const auto text = fs.read(path, kMaxUrlFileSize))
            if (auto address = url_file_address(*text)) command = std::move(*address);
    }
    b.command = command + "\r";
    b.command_lines = 1;
    return b;
}

bool import_folder(model::Desktop& desktop, model::Page& page, const Folder& folder,
                   FolderSource& fs, const ImportContext& ctx) {
    ImportCursor cursor(page.left_margin, page.top_margin, ctx.client_height);
    for (const auto& item : list_folder(fs, folder)) {
        if (item.folder) continue;
        auto b = import_button(item.name, item.paths.front(), cursor.place(), fs);
        b.launch_date = ctx.created;
        if (ctx.icon_for) b.icon = ctx.icon_for(item.paths.front());
        const std::string caption = b.caption;
        desktop.add_object(page, std::move(b));
        if (ctx.after_button && ctx.after_button(caption)) return true;
    }
    return false;
}

namespace {

int walk(FolderSource& fs, const Folder& folder, std::vector<ProgramGroup>& out) {
    int count = 0;
    for (auto& item : list_folder(fs, folder)) {
        if (item.folder) {
            Folder sub{item.name, std::move(item.paths)};
            const int sub_count = walk(fs, sub, out);
            out.push_back(ProgramGroup{std::move(sub), sub_count});
        } else if (upper_extension(item.name) == ".LNK") {
            ++count;
        }
    }
    return count;
}

char fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::vector<ProgramGroup> walk_program_groups(FolderSource& fs, const Folder& root) {
    std::vector<ProgramGroup> out;
    walk(fs, root, out);
    return out;
}

model::Page& page_for_group(model::Desktop& desktop, const std::string& name) {
    if (desktop.find_page(name) == nullptr || desktop.current() == nullptr) return desktop.add_page(name);
    return *desktop.current();
}

bool import_program_groups(model::Desktop& desktop, const std::vector<ProgramGroup>& groups,
                           FolderSource& fs, const ImportContext& ctx) {
    for (const auto& g : groups) {
        model::Page& page = page_for_group(desktop, g.folder.name);
        if (ctx.page_ready) ctx.page_ready(page);
        if (ctx.start_group) ctx.start_group(g.item_count);
        if (import_folder(desktop, page, g.folder, fs, ctx)) return true;
    }
    return false;
}

bool build_from_windows(model::Desktop& desktop, const WindowsFolders& folders, FolderSource& fs,
                        const ImportContext& ctx) {
    ImportContext quiet = ctx;
    quiet.start_group = nullptr;
    quiet.after_button = nullptr;
    const auto quietly = [&](model::Page& page, const Folder& folder) {
        if (ctx.page_ready) ctx.page_ready(page);
        import_folder(desktop, page, folder, fs, quiet);
    };
    quietly(add_desktop_page(desktop), folders.desktop);
    quietly(add_programs_page(desktop), folders.programs);
    return import_program_groups(desktop, walk_program_groups(fs, folders.programs), fs, ctx);
}

std::string group_list_text(const std::string& name, const std::string& path, int count) {
    std::string digits = std::to_string(count);
    if (digits.size() < 2) digits.insert(0, 2 - digits.size(), ' ');
    return name + "|" + path + digits;
}

std::vector<GroupListEntry> group_list(const std::vector<ProgramGroup>& groups) {
    std::vector<GroupListEntry> out;
    for (const auto& g : groups) {
        const std::string path = g.folder.paths.empty() ? std::string() : g.folder.paths.front();
        out.push_back({group_list_text(g.folder.name, path, g.item_count), g});
    }
    // A sorted list box orders without letter case.
    std::stable_sort(out.begin(), out.end(), [](const GroupListEntry& a, const GroupListEntry& b) {
        return std::lexicographical_compare(a.text.begin(), a.text.end(), b.text.begin(), b.text.end(),
                                            [](char x, char y) { return fold(x) < fold(y); });
    });
    return out;
}

WatchOutcome watch_change(const std::vector<FolderItem>& baseline,
                          const std::vector<FolderItem>& listing, bool modify_mode) {
    WatchOutcome out;
    if (modify_mode) {
        out.dropped = true;
        return out;
    }
    if (listing.size() <= baseline.size()) return out;
    // The first name that differs is the new entry; when the old ones all come first, the
    // new one is the first beyond them (a group whose name sorts last is still a group).
    size_t at = 0;
    while (at < baseline.size() && same_name(baseline[at].name, listing[at].name)) ++at;
    if (listing[at].folder) out.new_group = listing[at];
    return out;
}

void start_new_desktop(model::Desktop& desktop, const std::string& file_name) {
    desktop.clear();
    desktop.file_name = file_name;
    desktop.create_master_page();
}

model::Page& add_desktop_page(model::Desktop& desktop) { return desktop.add_page("Desktop"); }
model::Page& add_programs_page(model::Desktop& desktop) { return desktop.add_page("Programs"); }

void add_blank_pages(model::Desktop& desktop) {
    model::Page& first = desktop.add_page("Page 1");
    desktop.add_page(std::string(model::kStartUpPage));
    desktop.set_current(&first);
}

}  // namespace vx::builder
