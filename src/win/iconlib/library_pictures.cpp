#include "win/iconlib/library_pictures.h"

#include "iconlib/icon_page.h"
#include "win/util/trace.h"

namespace vx::win::iconlib {

namespace core = vx::iconlib;

LibraryPictures::LibraryPictures(const std::string& dir, objects::PictureTable& pictures)
    : library_(dir, codec_), pictures_(pictures) {}

std::optional<core::LoadedEntry> LibraryPictures::load(uint16_t number) const {
    try {
        return library_.load(number);
    } catch (const std::exception& e) {
        // An unreadable library shows no icons; the page itself still works.
        log_info(std::string("icon library: ") + e.what());
        return std::nullopt;
    }
}

LibraryPictures::Icon LibraryPictures::icon(uint16_t number) {
    if (auto it = icons_.find(number); it != icons_.end()) return it->second;
    Icon out;
    if (const auto entry = load(number)) {
        out.animated = core::entry_animation(*entry).has_value();
        if (unique_hicon icon = entry_icon(*entry)) out.id = pictures_.add_icon(std::move(icon));
    }
    icons_[number] = out;
    return out;
}

const FrameList* LibraryPictures::frames(uint16_t number) {
    auto it = frames_.find(number);
    if (it == frames_.end()) {
        std::optional<FrameList> list;
        if (const auto entry = load(number)) list = entry_frames(*entry);
        it = frames_.emplace(number, std::move(list)).first;
    }
    return it->second ? &*it->second : nullptr;
}

HICON LibraryPictures::still_icon(uint16_t number) {
    auto it = stills_.find(number);
    if (it == stills_.end()) {
        unique_hicon icon;
        if (const auto entry = load(number)) icon = entry_icon(*entry);
        it = stills_.emplace(number, std::move(icon)).first;
    }
    return it->second.get();
}

HCURSOR LibraryPictures::cursor(uint16_t number) {
    auto it = cursors_.find(number);
    if (it == cursors_.end()) {
        unique_hcursor cursor;
        if (const auto entry = load(number)) cursor = entry_cursor(*entry);
        it = cursors_.emplace(number, std::move(cursor)).first;
    }
    return it->second.get();
}

void LibraryPictures::clear() {
    // The picture table keeps the old icons under their numbers; nothing points at them now.
    icons_.clear();
    stills_.clear();
    cursors_.clear();
    frames_.clear();
}

}  // namespace vx::win::iconlib
