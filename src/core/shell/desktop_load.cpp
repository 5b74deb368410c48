#include "shell/desktop_load.h"

#include <algorithm>

#include "model/desktop_file.h"
#include "model/image_resolver.h"
#include "util/file_io.h"

namespace vx::shell {

int loading_gauge_maximum(int count) {
    return std::max(1, count - 1);
}

namespace {

// Up from the count line to the end of the reading, whichever way the reading ends.
class LoadingScope {
public:
    explicit LoadingScope(LoadingView* view) : view_(view) {}
    ~LoadingScope() { end(); }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

    void begin(int count) {
        if (!view_ || begun_) return;
        begun_ = true;
        view_->begin(loading_gauge_maximum(count));
    }
    void advance(int tabs) {
        if (begun_) view_->advance(tabs);
    }
    void end() {
        if (!begun_) return;
        begun_ = false;
        view_->end();
    }

private:
    LoadingView* view_;
    bool begun_ = false;
};

}  // namespace

DesktopReadResult read_desktop(model::Desktop& into, const DesktopRead& request, DesktopReadPorts ports) {
    into.clear();
    into.file_name = request.path;
    if (!file_exists(request.path)) return {DesktopReadOutcome::Missing, {}};

    const model::FolderImageResolver images(request.program_dir, dir_of(request.path));
    model::ReadContext ctx;
    ctx.locale = &ports.locale;
    ctx.codec = &ports.codec;
    ctx.file_name = request.path;
    ctx.images = &images;
    ctx.now = request.now;
    ctx.encryption_mark = request.encryption_mark;
    ctx.is_administrator = [administrator = request.administrator] { return administrator; };
    LoadingScope loading(ports.loading);
    ctx.on_count_line = [&loading](int count) { loading.begin(count); };
    ctx.on_page_created = [&loading](int tabs) { loading.advance(tabs); };

    model::LoadResult result;
    try {
        if (!model::load_desktop_file(into, ctx, &result)) return {DesktopReadOutcome::Missing, {}};
    } catch (const model::DesktopLoadError& e) {
        // The window goes before the message comes.
        loading.end();
        ports.prompter.alert(e.caption(), e.text());
        return {DesktopReadOutcome::Damaged, e.detail()};
    }
    loading.end();
    if (!result.warnings.empty()) {
        std::string text;
        for (const std::string& w : result.warnings) text += w + "\r";
        ports.prompter.alert(model::kLoadErrorCaption, text + request.path);
    }
    return {DesktopReadOutcome::Loaded, {}};
}

void make_starter_desktop(model::Desktop& desktop, const std::string& path) {
    desktop.clear();
    desktop.file_name = path;
    desktop.create_master_page();
    model::Page& first = desktop.add_page("Page 1");
    desktop.add_page(std::string(model::kStartUpPage));
    desktop.set_current(&first);
}

}  // namespace vx::shell
