#include "win/iconlib/library_images.h"

#include <cstdlib>
#include <cstring>

#include "iconlib/icon_file.h"
#include "iconlib/icon_page.h"

namespace vx::win::iconlib {

namespace core = vx::iconlib;

namespace {

// The image nearest `size` (by width), the deepest among equals.
const core::IconImage* pick_image(const core::IconFile& file, int size) {
    const core::IconImage* best = nullptr;
    for (const auto& image : file.images) {
        if (!best) {
            best = &image;
            continue;
        }
        const int d = std::abs(image.width - size), best_d = std::abs(best->width - size);
        if (d < best_d || (d == best_d && image.bit_count > best->bit_count)) best = &image;
    }
    return best;
}

HICON create_from_image(std::span<const uint8_t> image, bool icon, uint16_t hot_x, uint16_t hot_y, int cx,
                        int cy) {
    // A cursor's resource carries its hot spot in front of the image.
    if (image.empty()) return nullptr;
    const size_t head = icon ? 0 : 4;
    std::vector<uint8_t> buffer(head + image.size());
    if (!icon) {
        std::memcpy(buffer.data(), &hot_x, 2);
        std::memcpy(buffer.data() + 2, &hot_y, 2);
    }
    std::memcpy(buffer.data() + head, image.data(), image.size());
    return CreateIconFromResourceEx(buffer.data(), static_cast<DWORD>(buffer.size()), icon ? TRUE : FALSE,
                                    0x00030000, cx, cy, LR_DEFAULTCOLOR);
}

}  // namespace

unique_hicon icon_from_icon_file(std::span<const uint8_t> bytes, int size) {
    const auto file = core::read_icon_file(bytes);
    if (!file) return {};
    const core::IconImage* image = pick_image(*file, size);
    if (!image) return {};
    return unique_hicon(create_from_image(bytes.subspan(image->offset, image->size), true, 0, 0, size, size));
}

unique_hcursor cursor_from_cursor_file(std::span<const uint8_t> bytes) {
    const auto file = core::read_icon_file(bytes);
    if (!file) return {};
    const int cx = GetSystemMetrics(SM_CXCURSOR), cy = GetSystemMetrics(SM_CYCURSOR);
    const core::IconImage* image = pick_image(*file, cx);
    if (!image) return {};
    // An icon file handed in as a cursor has no hot spot of its own: the loader takes the middle.
    const bool cursor = file->kind == core::IconKind::cursor;
    const uint16_t hx = cursor ? image->hotspot_x : static_cast<uint16_t>(image->width / 2);
    const uint16_t hy = cursor ? image->hotspot_y : static_cast<uint16_t>(image->height / 2);
    return unique_hcursor(
        create_from_image(bytes.subspan(image->offset, image->size), false, hx, hy, cx, cy));
}

unique_hicon entry_icon(const core::LoadedEntry& entry) {
    if (entry.type == core::kTypeAnimated || core::looks_like_animation(entry.data)) {
        const auto animation = core::read_animation(entry.data);
        if (!animation || animation->steps.empty()) return {};
        return icon_from_icon_file(animation->frames[animation->steps.front().frame]);
    }
    return icon_from_icon_file(entry.data);
}

unique_hcursor entry_cursor(const core::LoadedEntry& entry) {
    if (entry.type == core::kTypeAnimated || core::looks_like_animation(entry.data)) {
        // The system plays an animated cursor made from the whole file; the checks come first
        // since the system's own reader is less careful than ours.
        const auto animation = core::read_animation(entry.data);
        if (!animation || animation->steps.empty()) return {};
        auto system_cursor = [](const Bytes& bytes) {
            return unique_hcursor(
                CreateIconFromResourceEx(const_cast<uint8_t*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                                         FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR | LR_DEFAULTSIZE));
        };
        if (unique_hcursor cursor = system_cursor(entry.data)) return cursor;
        // Files our reader takes but the system's does not (odd chunk order or sizes) are
        // written out again in the plain layout; the steps then share the first step's rate.
        try {
            if (unique_hcursor cursor =
                    system_cursor(core::write_animation(animation->frames, animation->steps.front().rate)))
                return cursor;
        } catch (const std::invalid_argument&) {
        }
        return cursor_from_cursor_file(animation->frames[animation->steps.front().frame]);
    }
    return cursor_from_cursor_file(entry.data);
}

std::optional<FrameList> frame_list(const core::Animation& animation) {
    FrameList out;
    for (const auto& frame : animation.frames) {
        unique_hicon icon = icon_from_icon_file(frame);
        if (!icon) return std::nullopt;
        out.frames.push_back(std::move(icon));
    }
    out.steps = animation.steps;
    if (out.steps.empty()) return std::nullopt;
    return out;
}

std::optional<FrameList> entry_frames(const core::LoadedEntry& entry) {
    const auto animation = core::entry_animation(entry);
    if (!animation) return std::nullopt;
    return frame_list(*animation);
}

void play_frames(HDC dc, const FrameList& frames, POINT at, bool onto_page) {
    unique_memory_dc snapshot_dc(CreateCompatibleDC(dc)), work_dc(CreateCompatibleDC(dc));
    unique_hbitmap snapshot(CreateCompatibleBitmap(dc, kIconSize, kIconSize));
    unique_hbitmap work(CreateCompatibleBitmap(dc, kIconSize, kIconSize));
    if (!snapshot_dc || !work_dc || !snapshot || !work) return;
    const HGDIOBJ old_snapshot = SelectObject(snapshot_dc.get(), snapshot.get());
    const HGDIOBJ old_work = SelectObject(work_dc.get(), work.get());
    BitBlt(snapshot_dc.get(), 0, 0, kIconSize, kIconSize, dc, at.x, at.y, SRCCOPY);
    for (const auto& step : frames.steps) {
        if (step.frame >= frames.frames.size()) break;
        const HICON frame = frames.frames[step.frame].get();
        if (onto_page) {
            DrawIconEx(dc, at.x, at.y, frame, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        } else {
            BitBlt(work_dc.get(), 0, 0, kIconSize, kIconSize, snapshot_dc.get(), 0, 0, SRCCOPY);
            DrawIconEx(work_dc.get(), 0, 0, frame, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
            BitBlt(dc, at.x, at.y, kIconSize, kIconSize, work_dc.get(), 0, 0, SRCCOPY);
        }
        GdiFlush();
        const DWORD start = GetTickCount();
        const uint64_t delay = core::step_delay_ms(step.rate);
        // Ends early should the tick count wrap.
        for (DWORD now = start; now >= start && now - start < delay; now = GetTickCount()) Sleep(1);
    }
    SelectObject(snapshot_dc.get(), old_snapshot);
    SelectObject(work_dc.get(), old_work);
}

namespace {

struct Dib {
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> bits;
};

// The bits of a bitmap bottom-up at `bit_count`, black and white for 1 bit.
bool read_bits(HBITMAP bitmap, int bit_count, Dib& out, int& width, int& height) {
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof bm, &bm)) return false;
    width = bm.bmWidth;
    height = bm.bmHeight;
    if (width <= 0 || height <= 0 || width > 1024 || height > 2048) return false;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bit_count);
    info.header.biCompression = BI_RGB;
    const size_t stride = ((static_cast<size_t>(width) * static_cast<size_t>(bit_count) + 31) / 32) * 4;
    out.bits.assign(stride * static_cast<size_t>(height), 0);
    unique_window_dc screen({nullptr, GetDC(nullptr)});
    const int lines = GetDIBits(screen.get().dc, bitmap, 0, static_cast<UINT>(height), out.bits.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (lines != height) return false;
    out.header = info.header;
    return true;
}

void append(Bytes& out, const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

}  // namespace

std::vector<Bytes> icon_images(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    unique_hbitmap colour(info.hbmColor), mask(info.hbmMask);
    if (!mask) return {};
    Bytes image;
    if (colour) {
        Dib xor_bits, and_bits;
        int w = 0, h = 0, mw = 0, mh = 0;
        if (!read_bits(colour.get(), 32, xor_bits, w, h) || !read_bits(mask.get(), 1, and_bits, mw, mh))
            return {};
        if (mw != w || mh != h) return {};
        BITMAPINFOHEADER header = xor_bits.header;
        header.biHeight = h * 2;  // an icon image counts its mask in the height
        header.biSizeImage = static_cast<DWORD>(xor_bits.bits.size() + and_bits.bits.size());
        append(image, &header, sizeof header);
        append(image, xor_bits.bits.data(), xor_bits.bits.size());
        append(image, and_bits.bits.data(), and_bits.bits.size());
    } else {
        // A monochrome icon keeps its AND and XOR halves in one bitmap, AND on top; bottom-up
        // that is XOR first, just as an icon file wants them.
        Dib bits;
        int w = 0, h = 0;
        if (!read_bits(mask.get(), 1, bits, w, h) || h % 2) return {};
        BITMAPINFOHEADER header = bits.header;
        header.biSizeImage = static_cast<DWORD>(bits.bits.size());
        append(image, &header, sizeof header);
        const RGBQUAD colours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        append(image, colours, sizeof colours);
        append(image, bits.bits.data(), bits.bits.size());
    }
    return {std::move(image)};
}

Bytes icon_file_bytes(HICON icon) {
    const auto images = icon_images(icon);
    if (images.empty()) return {};
    try {
        return core::write_icon_file(images);
    } catch (const std::invalid_argument&) {
        return {};
    }
}

}  // namespace vx::win::iconlib
