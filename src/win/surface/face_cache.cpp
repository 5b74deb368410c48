#include "win/surface/face_cache.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "win/util/handle.h"

namespace vx::win::surface {

namespace {

constexpr uint32_t kBlack = 0x00000000u;
constexpr uint32_t kWhite = 0x00FFFFFFu;

// One scratch bitmap for the thread, grown to the largest face asked for: a fixed pair of GDI
// objects however many faces are learnt.
class Scratch {
public:
    HDC dc(SIZE size) {
        if (dc_ && size.cx <= size_.cx && size.cy <= size_.cy) return dc_.get();
        const SIZE grown{std::max(size.cx, size_.cx), std::max(size.cy, size_.cy)};
        if (dc_ && old_) SelectObject(dc_.get(), old_);
        bitmap_.reset();
        if (!dc_) dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_) return nullptr;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), grown.cx, -grown.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap_ || !bits) {
            size_ = {0, 0};
            return nullptr;
        }
        old_ = SelectObject(dc_.get(), bitmap_.get());
        bits_ = static_cast<uint32_t*>(bits);
        size_ = grown;
        return dc_.get();
    }
    uint32_t* row(int y) const { return bits_ + static_cast<size_t>(y) * static_cast<size_t>(size_.cx); }
    void fill(SIZE size, uint32_t value) const {
        for (int y = 0; y < size.cy; ++y) std::fill_n(row(y), size.cx, value);
    }

private:
    unique_memory_dc dc_;
    unique_hbitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    SIZE size_{0, 0};
};

thread_local Scratch scratch;

int wrap8(long v) {
    return static_cast<int>(((v % 8) + 8) % 8);
}

// Whether the DIB's first row in memory is its top row. The header the bitmap answers with
// does not say (its height comes back positive either way), so a pixel inside the clip is
// marked in memory at both places it could lie and read back through the DC; the pixels are
// then put back. Answers are kept per bitmap and bits, which a deleted bitmap's reuse of a
// handle cannot match by chance.
std::optional<bool> top_down(HDC dc, HBITMAP bitmap, const DIBSECTION& ds, const RECT& clip) {
    struct Known {
        HBITMAP bitmap;
        void* bits;
        bool top_down;
    };
    thread_local std::vector<Known> known;
    for (const Known& k : known)
        if (k.bitmap == bitmap && k.bits == ds.dsBm.bmBits) return k.top_down;
    const int height = ds.dsBm.bmHeight;
    POINT probe{clip.left, clip.top};
    if (height < 2 || 2 * probe.y + 1 == height) return std::nullopt;
    auto* const bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
    auto* const if_top = reinterpret_cast<uint32_t*>(bits + static_cast<ptrdiff_t>(probe.y) * ds.dsBm.bmWidthBytes) + probe.x;
    auto* const if_bottom =
        reinterpret_cast<uint32_t*>(bits + static_cast<ptrdiff_t>(height - 1 - probe.y) * ds.dsBm.bmWidthBytes) +
        probe.x;
    GdiFlush();
    const uint32_t keep_top = *if_top, keep_bottom = *if_bottom;
    *if_top = 0x00102030u;
    *if_bottom = 0x00405060u;
    POINT logical = probe;
    DPtoLP(dc, &logical, 1);
    const COLORREF seen = GetPixel(dc, logical.x, logical.y);
    *if_top = keep_top;
    *if_bottom = keep_bottom;
    if (seen != RGB(0x10, 0x20, 0x30) && seen != RGB(0x40, 0x50, 0x60)) return std::nullopt;
    const bool answer = seen == RGB(0x10, 0x20, 0x30);
    if (known.size() >= 16) known.erase(known.begin());
    known.push_back({bitmap, ds.dsBm.bmBits, answer});
    return answer;
}

std::atomic<uint64_t> epoch{0};

}  // namespace

uint64_t kept_faces_epoch() {
    return epoch.load(std::memory_order_relaxed);
}

void forget_kept_faces() {
    epoch.fetch_add(1, std::memory_order_relaxed);
}

std::optional<DibPixels> dib_pixels(HDC dc) {
    if (!dc || GetMapMode(dc) != MM_TEXT) return std::nullopt;
    DIBSECTION ds{};
    const auto bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    if (!bitmap || GetObjectW(bitmap, sizeof ds, &ds) != static_cast<int>(sizeof ds)) return std::nullopt;
    if (!ds.dsBm.bmBits || ds.dsBm.bmBitsPixel != 32 || ds.dsBmih.biCompression != BI_RGB) return std::nullopt;
    RECT box;
    if (GetClipBox(dc, &box) != SIMPLEREGION) return std::nullopt;
    POINT corners[2] = {{box.left, box.top}, {box.right, box.bottom}};
    if (!LPtoDP(dc, corners, 2)) return std::nullopt;
    const RECT whole{0, 0, ds.dsBm.bmWidth, ds.dsBm.bmHeight};
    const RECT clip{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    DibPixels p;
    if (!IntersectRect(&p.clip, &clip, &whole)) return std::nullopt;
    auto* const bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
    const long stride = ds.dsBm.bmWidthBytes;
    if (!top_down(dc, bitmap, ds, p.clip)) return std::nullopt;
    if (*top_down(dc, bitmap, ds, p.clip)) {
        p.top_row = bits;
        p.row_step = stride;
    } else {
        p.top_row = bits + static_cast<ptrdiff_t>(ds.dsBm.bmHeight - 1) * stride;
        p.row_step = -stride;
    }
    return p;
}

POINT brush_phase(HDC dc, POINT at) {
    POINT org{0, 0};
    GetBrushOrgEx(dc, &org);
    return {wrap8(org.x - at.x), wrap8(org.y - at.y)};
}

void FaceCache::clear() {
    width_ = height_ = 0;
    pixels_.clear();
    spans_.clear();
}

bool FaceCache::learn(SIZE size, POINT origin, POINT phase, const std::function<void(HDC)>& paint) {
    clear();
    if (size.cx <= 0 || size.cy <= 0 || static_cast<long long>(size.cx) * size.cy > kMaxPixels) return false;
    const HDC dc = scratch.dc(size);
    if (!dc) return false;
    const auto render = [&](uint32_t background) {
        GdiFlush();
        scratch.fill(size, background);
        const int saved = SaveDC(dc);
        SelectClipRgn(dc, nullptr);
        IntersectClipRect(dc, 0, 0, size.cx, size.cy);
        SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
        SetBrushOrgEx(dc, phase.x, phase.y, nullptr);
        paint(dc);
        RestoreDC(dc, saved);
        GdiFlush();
    };
    std::vector<uint32_t> over_black(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    render(kBlack);
    for (int y = 0; y < size.cy; ++y)
        std::memcpy(&over_black[static_cast<size_t>(y) * static_cast<size_t>(size.cx)], scratch.row(y),
                    static_cast<size_t>(size.cx) * sizeof(uint32_t));
    render(kWhite);
    std::vector<Span> spans;
    for (int y = 0; y < size.cy; ++y) {
        const uint32_t* black = &over_black[static_cast<size_t>(y) * static_cast<size_t>(size.cx)];
        const uint32_t* white = scratch.row(y);
        int run = -1;
        for (int x = 0; x < size.cx; ++x) {
            const bool own = black[x] == white[x];
            if (!own && !(black[x] == kBlack && white[x] == kWhite)) return false;
            if (own && run < 0) run = x;
            if (!own && run >= 0) {
                spans.push_back({y, run, x});
                run = -1;
            }
        }
        if (run >= 0) spans.push_back({y, run, size.cx});
    }
    width_ = size.cx;
    height_ = size.cy;
    pixels_ = std::move(over_black);
    spans_ = std::move(spans);
    return true;
}

void FaceCache::draw(const DibPixels& target, POINT at) const {
    if (empty()) return;
    GdiFlush();
    for (const Span& s : spans_) {
        const long y = at.y + s.y;
        if (y < target.clip.top || y >= target.clip.bottom) continue;
        const long x0 = std::max<long>(at.x + s.x0, target.clip.left);
        const long x1 = std::min<long>(at.x + s.x1, target.clip.right);
        if (x0 >= x1) continue;
        uint8_t* row = target.top_row + static_cast<ptrdiff_t>(y) * target.row_step;
        const uint32_t* from = &pixels_[static_cast<size_t>(s.y) * static_cast<size_t>(width_) +
                                        static_cast<size_t>(x0 - at.x)];
        std::memcpy(row + x0 * 4, from, static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
    }
}

}  // namespace vx::win::surface
