#include "win/imaging/picture.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <system_error>
#include <utility>

#include "iconlib/icon_file.h"
#include "util/file_io.h"
#include "win/util/com.h"
#include "win/util/text.h"

namespace vx::win::imaging {

namespace {

using Span = std::span<const uint8_t>;

// Far beyond any wallpaper, well short of what would starve the machine.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;
constexpr uint64_t kMaxPixels = vx::imaging::kMaxPcxPixels;

// The codecs are COM objects: each call joins COM for its own duration (see win/util/com.h).

Picture fail(std::string& why, std::string reason) {
    why = std::move(reason);
    return {};
}

Picture bitmap_picture(unique_hbitmap bmp, bool alpha = false) {
    Picture p;
    BITMAP info{};
    if (!bmp || !GetObjectW(bmp.get(), sizeof info, &info)) return p;
    p.kind = Picture::Kind::Bitmap;
    p.width = info.bmWidth;
    p.height = std::abs(info.bmHeight);
    p.bitmap = std::move(bmp);
    p.alpha = alpha;
    return p;
}

bool size_ok(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= 0xFFFF && height <= 0xFFFF && width * height <= kMaxPixels;
}

uint16_t u16(Span d, std::size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}
uint32_t u32(Span d, std::size_t at) {
    return u16(d, at) | (uint32_t{u16(d, at + 2)} << 16);
}

// A top-down 32-bit DIB section: row 0 first, each pixel 0x00RRGGBB.
unique_hbitmap make_dib(int width, int height, uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    unique_hbitmap bmp(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<uint32_t*>(p);
    return bmp;
}

// Lays straight-alpha BGRA pixels onto `background`; the alpha byte is cleared, as a plain
// bitmap expects.
void composite(uint32_t* px, std::size_t count, COLORREF background) {
    const uint32_t bg[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t p = px[i];
        const uint32_t a = p >> 24;
        if (a == 255) {
            px[i] = p & 0xFFFFFF;
            continue;
        }
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const uint32_t v = (p >> (8 * c)) & 0xFF;
            out |= ((v * a + bg[c] * (255 - a) + 127) / 255) << (8 * c);
        }
        px[i] = out;
    }
}

// A DIB filled with `background`, selected into a memory DC for drawing into.
class Canvas {
public:
    Canvas(int width, int height, COLORREF background) : width_(width), height_(height) {
        uint32_t* bits = nullptr;
        bmp_ = make_dib(width, height, bits);
        if (!bmp_) return;
        dc_.reset(CreateCompatibleDC(nullptr));
        if (!dc_) return;
        old_ = SelectObject(dc_.get(), bmp_.get());
        unique_hbrush brush(CreateSolidBrush(background));
        const RECT all{0, 0, width, height};
        FillRect(dc_.get(), &all, brush.get());
    }
    ~Canvas() {
        if (dc_) SelectObject(dc_.get(), old_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_.get(); }
    RECT rect() const { return {0, 0, width_, height_}; }
    unique_hbitmap take() {
        if (!dc_) return {};
        GdiFlush();
        SelectObject(dc_.get(), old_);
        dc_.reset();
        return std::move(bmp_);
    }

private:
    int width_, height_;
    unique_hbitmap bmp_;
    unique_memory_dc dc_;
    HGDIOBJ old_ = nullptr;
};

int screen_dpi() {
    const unique_window_dc screen({nullptr, GetDC(nullptr)});
    const int dpi = screen ? GetDeviceCaps(screen.get().dc, LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

Picture from_pixels(int width, int height, const uint32_t* pixels, std::string& why) {
    uint32_t* bits = nullptr;
    unique_hbitmap bmp = make_dib(width, height, bits);
    if (!bmp) return fail(why, "not enough memory for the picture");
    std::memcpy(bits, pixels, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    return bitmap_picture(std::move(bmp));
}

Picture decode_pcx(Span d, std::string& why) {
    const auto img = vx::imaging::decode_pcx(d, &why);
    if (!img) return {};
    return from_pixels(img->width, img->height, img->pixels.data(), why);
}

Picture decode_bmp(const std::string& path) {
    return bitmap_picture(unique_hbitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, widen(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION))));
}

// The largest image of an icon (or cursor) file, by area and then by colour depth.
Picture decode_icon(Span d, std::string& why) {
    const auto file = vx::iconlib::read_icon_file(d);
    if (!file || file->images.empty()) return fail(why, "damaged icon file");
    const vx::iconlib::IconImage* best = nullptr;
    for (const auto& img : file->images) {
        const auto area = [](const vx::iconlib::IconImage& i) { return int64_t{i.width} * i.height; };
        if (!best || area(img) > area(*best) || (area(img) == area(*best) && img.bit_count > best->bit_count))
            best = &img;
    }
    if (!size_ok(static_cast<uint64_t>(best->width), static_cast<uint64_t>(best->height)))
        return fail(why, "damaged icon file");
    // The image bytes are handed over as a resource would be; the system wants them writable.
    std::vector<BYTE> image(d.begin() + static_cast<std::ptrdiff_t>(best->offset),
                            d.begin() + static_cast<std::ptrdiff_t>(best->offset + best->size));
    unique_hicon icon(CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                               best->width, best->height, LR_DEFAULTCOLOR));
    if (!icon) return fail(why, "damaged icon file");
    Picture p;
    p.kind = Picture::Kind::Icon;
    p.width = best->width;
    p.height = best->height;
    p.icon = std::move(icon);
    return p;
}

using unique_emf = unique_henhmetafile;

Picture metafile_picture(unique_emf emf, int width, int height, std::string& why) {
    if (!size_ok(static_cast<uint64_t>(std::max(width, 0)), static_cast<uint64_t>(std::max(height, 0))))
        return fail(why, "metafile of no usable size");
    Picture p;
    p.kind = Picture::Kind::Metafile;
    p.width = width;
    p.height = height;
    p.metafile = std::move(emf);
    return p;
}

// The size an enhanced metafile was made for, in pixels of this display: its frame, or when the
// frame is empty the bounds of what it draws.
bool natural_size(const unique_emf& emf, int& width, int& height) {
    ENHMETAHEADER head{};
    if (!GetEnhMetaFileHeader(emf.get(), sizeof head, &head)) return false;
    const int dpi = screen_dpi();
    const int64_t fw = int64_t{head.rclFrame.right} - head.rclFrame.left;
    const int64_t fh = int64_t{head.rclFrame.bottom} - head.rclFrame.top;
    if (fw > 0 && fh > 0 && fw < INT32_MAX / 4 && fh < INT32_MAX / 4) {
        width = MulDiv(static_cast<int>(fw), dpi, 2540);
        height = MulDiv(static_cast<int>(fh), dpi, 2540);
    } else {
        const int64_t bw = int64_t{head.rclBounds.right} - head.rclBounds.left + 1;
        const int64_t bh = int64_t{head.rclBounds.bottom} - head.rclBounds.top + 1;
        if (bw <= 0 || bh <= 0 || bw > 0xFFFF || bh > 0xFFFF) return false;
        width = static_cast<int>(bw);
        height = static_cast<int>(bh);
    }
    return width > 0 && height > 0;
}

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeader = 22;

bool is_placeable_wmf(Span d) {
    return d.size() >= kPlaceableHeader && u32(d, 0) == kPlaceableKey;
}
bool is_plain_wmf(Span d) {
    return d.size() >= 18 && (u16(d, 0) == 1 || u16(d, 0) == 2) && u16(d, 2) == 9 &&
           (u16(d, 4) == 0x0100 || u16(d, 4) == 0x0300);
}
bool is_emf(Span d) {
    return d.size() >= 88 && u32(d, 0) == 1 /* EMR_HEADER */ && u32(d, 40) == 0x464D4520 /* " EMF" */;
}

// The records of a Windows metafile, walked to the end record: each at least a record header
// long and inside the file. GDI is handed only a chain that holds together.
bool wmf_records_sound(Span d) {
    std::size_t at = std::size_t{u16(d, 2)} * 2;
    while (at + 6 <= d.size()) {
        const uint64_t words = u32(d, at);
        if (words < 3 || words * 2 > d.size() - at) return false;
        if (u16(d, at + 4) == 0) return true;  // the end record
        at += static_cast<std::size_t>(words) * 2;
    }
    return false;
}

// The same for an enhanced metafile: sizes in bytes, whole 32-bit words, up to the end record.
bool emf_records_sound(Span d) {
    constexpr uint32_t kEof = 14;
    std::size_t at = 0;
    while (at + 8 <= d.size()) {
        const uint32_t type = u32(d, at), size = u32(d, at + 4);
        if (size < 8 || size % 4 != 0 || size > d.size() - at) return false;
        if (type == kEof) return true;
        at += size;
    }
    return false;
}

// A plain metafile says nothing of its size but the window extent it sets; that is taken as
// pixels, scaled down to fit kPlainWmfMax when larger.
constexpr int kPlainWmfMax = 1024;

bool window_extent(Span d, int& width, int& height) {
    constexpr uint16_t kSetWindowExt = 0x020C;
    std::size_t at = std::size_t{u16(d, 2)} * 2;  // the header's size in words
    while (at + 6 <= d.size()) {
        const uint64_t words = u32(d, at);
        const uint16_t function = u16(d, at + 4);
        if (words < 3 || function == 0 || words * 2 > d.size() - at) return false;
        if (function == kSetWindowExt && words >= 5) {
            height = std::abs(static_cast<int16_t>(u16(d, at + 6)));
            width = std::abs(static_cast<int16_t>(u16(d, at + 8)));
            return width > 0 && height > 0;
        }
        at += static_cast<std::size_t>(words) * 2;
    }
    return false;
}

Picture decode_wmf(Span d, std::string& why) {
    if (!is_placeable_wmf(d)) {
        if (!wmf_records_sound(d)) return fail(why, "damaged metafile");
        int w = 0, h = 0;
        if (!window_extent(d, w, h)) return fail(why, "metafile of no usable size");
        if (w > kPlainWmfMax || h > kPlainWmfMax) {
            // In integers: a floating scale came out a pixel short on the 32-bit build, whose
            // x87 arithmetic rounds differently.
            const int64_t longest = std::max(w, h);
            w = static_cast<int>(std::max<int64_t>(1, int64_t{w} * kPlainWmfMax / longest));
            h = static_cast<int>(std::max<int64_t>(1, int64_t{h} * kPlainWmfMax / longest));
        }
        const int dpi = screen_dpi();
        METAFILEPICT pict{MM_ANISOTROPIC, MulDiv(w, 2540, dpi), MulDiv(h, 2540, dpi), nullptr};
        unique_emf emf(SetWinMetaFileBits(static_cast<UINT>(d.size()), d.data(), nullptr, &pict));
        if (!emf) return fail(why, "damaged metafile");
        return metafile_picture(std::move(emf), w, h, why);
    }
    // The placeable header gives the picture's box in its own units and how many make an inch.
    const auto left = static_cast<int16_t>(u16(d, 6)), top = static_cast<int16_t>(u16(d, 8));
    const auto right = static_cast<int16_t>(u16(d, 10)), bottom = static_cast<int16_t>(u16(d, 12));
    const int inch = u16(d, 14);
    const int units_w = std::abs(right - left), units_h = std::abs(bottom - top);
    if (inch == 0 || units_w == 0 || units_h == 0) return fail(why, "damaged metafile");
    const Span body = d.subspan(kPlaceableHeader);
    if (!is_plain_wmf(body) || !wmf_records_sound(body)) return fail(why, "damaged metafile");
    METAFILEPICT pict{MM_ANISOTROPIC, MulDiv(units_w, 2540, inch), MulDiv(units_h, 2540, inch), nullptr};
    unique_emf emf(SetWinMetaFileBits(static_cast<UINT>(body.size()), body.data(), nullptr, &pict));
    if (!emf) return fail(why, "damaged metafile");
    const int dpi = screen_dpi();
    return metafile_picture(std::move(emf), MulDiv(units_w, dpi, inch), MulDiv(units_h, dpi, inch), why);
}

Picture decode_emf(Span d, std::string& why) {
    // The header's own record size and the file's stated length must lie within the file.
    const uint32_t header_size = u32(d, 4), total = u32(d, 48);
    if (header_size < 88 || header_size > d.size() || total > d.size() || total < header_size ||
        !emf_records_sound(d.first(total)))
        return fail(why, "damaged metafile");
    unique_emf emf(SetEnhMetaFileBits(total, d.data()));
    int w = 0, h = 0;
    if (!emf || !natural_size(emf, w, h)) return fail(why, "damaged metafile");
    return metafile_picture(std::move(emf), w, h, why);
}

struct Wic {
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;

    // Opens the first frame (the first page of a TIFF, the first frame of a GIF).
    bool open(Span d, std::string& why) {
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory, factory.put_void()))) {
            why = "the picture codecs are not available";
            return false;
        }
        // Files are capped at kMaxFileBytes when read, so the length always fits the stream's DWORD.
        if (FAILED(factory->CreateStream(stream.put())) ||
            FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(d.data()), static_cast<DWORD>(d.size())))) {
            why = "not enough memory for the picture";
            return false;
        }
        if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                    decoder.put()))) {
            why = "not a picture format this program reads";
            return false;
        }
        if (FAILED(decoder->GetFrame(0, frame.put()))) {
            why = "damaged picture file";
            return false;
        }
        return true;
    }
};

// A number from a codec's metadata (GIF screen and frame descriptors), or -1.
int metadata_number(IWICMetadataQueryReader* reader, const wchar_t* name) {
    if (!reader) return -1;
    PROPVARIANT v;
    PropVariantInit(&v);
    int out = -1;
    if (SUCCEEDED(reader->GetMetadataByName(name, &v))) {
        if (v.vt == VT_UI2) out = v.uiVal;
        if (v.vt == VT_UI1) out = v.bVal;
    }
    PropVariantClear(&v);
    return out;
}

// Where the first frame of a GIF sits on its logical screen. A frame smaller than the screen
// would otherwise give a picture of the wrong size.
struct Placement {
    UINT width, height;  // the whole picture
    UINT left = 0, top = 0;
};
Placement gif_placement(Wic& wic, UINT frame_w, UINT frame_h) {
    Placement p{frame_w, frame_h};
    GUID container{};
    if (FAILED(wic.decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatGif) return p;
    ComPtr<IWICMetadataQueryReader> screen, frame;
    if (FAILED(wic.decoder->GetMetadataQueryReader(screen.put())) ||
        FAILED(wic.frame->GetMetadataQueryReader(frame.put())))
        return p;
    const int sw = metadata_number(screen.get(), L"/logscrdesc/Width");
    const int sh = metadata_number(screen.get(), L"/logscrdesc/Height");
    const int left = metadata_number(frame.get(), L"/imgdesc/Left");
    const int top = metadata_number(frame.get(), L"/imgdesc/Top");
    if (sw <= 0 || sh <= 0 || left < 0 || top < 0) return p;
    // A frame reaching past the screen widens it, as viewers do.
    p.width = std::max<UINT>(static_cast<UINT>(sw), static_cast<UINT>(left) + frame_w);
    p.height = std::max<UINT>(static_cast<UINT>(sh), static_cast<UINT>(top) + frame_h);
    p.left = static_cast<UINT>(left);
    p.top = static_cast<UINT>(top);
    return p;
}

Picture decode_wic(Span d, std::string& why) {
    Wic wic;
    if (!wic.open(d, why)) return {};
    UINT w = 0, h = 0;
    if (FAILED(wic.frame->GetSize(&w, &h))) return fail(why, "damaged picture file");
    if (!size_ok(w, h)) return fail(why, "picture too large");
    const Placement place = gif_placement(wic, w, h);
    if (!size_ok(place.width, place.height)) return fail(why, "picture too large");
    ComPtr<IWICFormatConverter> convert;
    if (FAILED(wic.factory->CreateFormatConverter(convert.put())) ||
        FAILED(convert->Initialize(wic.frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return fail(why, "picture colour format not supported");
    uint32_t* bits = nullptr;
    unique_hbitmap bmp = make_dib(static_cast<int>(place.width), static_cast<int>(place.height), bits);
    if (!bmp) return fail(why, "not enough memory for the picture");
    const std::size_t count = std::size_t{place.width} * place.height;
    // Outside the frame the screen is see-through: it shows the background colour.
    std::fill_n(bits, count, 0u);
    uint32_t* origin = bits + std::size_t{place.top} * place.width + place.left;
    if (FAILED(convert->CopyPixels(nullptr, place.width * 4, (place.width * (h - 1) + w) * 4,
                                   reinterpret_cast<BYTE*>(origin))))
        return fail(why, "damaged picture file");
    const bool see_through = std::any_of(bits, bits + count, [](uint32_t p) { return (p >> 24) != 255; });
    // Opaque throughout: the alpha bytes mean nothing more, and a plain bitmap has them clear.
    if (!see_through) composite(bits, count, 0);
    return bitmap_picture(std::move(bmp), see_through);
}

bool read_whole(const std::string& path, vx::Bytes& out, std::string& why) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_from_utf8(path), ec);
    if (ec) {
        why = "file not found";
        return false;
    }
    if (size > kMaxFileBytes) {
        why = "picture file too large";
        return false;
    }
    try {
        out = read_file(path);
    } catch (const std::exception&) {
        why = "file cannot be read";
        return false;
    }
    return true;
}

Picture decode(const std::string& path, std::string& why) {
    vx::Bytes bytes;
    if (!read_whole(path, bytes, why)) return {};
    const Span d(bytes);
    if (d.empty()) return fail(why, "empty file");
    if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') {
        if (Picture bmp = decode_bmp(path)) return bmp;
        // Newer bitmap headers the platform loader refuses may still be read by the codecs.
        return decode_wic(d, why);
    }
    if (d.size() >= 4 && u16(d, 0) == 0 && (u16(d, 2) == 1 || u16(d, 2) == 2)) return decode_icon(d, why);
    if (is_placeable_wmf(d) || is_plain_wmf(d)) return decode_wmf(d, why);
    if (is_emf(d)) return decode_emf(d, why);
    if (vx::imaging::looks_like_pcx(d)) return decode_pcx(d, why);
    return decode_wic(d, why);
}

// The picture as one plain bitmap of its natural size, its see-through parts on `background`.
unique_hbitmap flatten(Picture p, COLORREF background, std::string& why) {
    switch (p.kind) {
        case Picture::Kind::Bitmap:
            if (p.alpha) {
                DIBSECTION dib{};
                if (GetObjectW(p.bitmap.get(), sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits) {
                    why = "picture colour format not supported";
                    return {};
                }
                composite(static_cast<uint32_t*>(dib.dsBm.bmBits),
                          static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height), background);
            }
            return std::move(p.bitmap);
        case Picture::Kind::Icon:
        case Picture::Kind::Metafile: {
            Canvas canvas(p.width, p.height, background);
            if (!canvas.dc()) {
                why = "not enough memory for the picture";
                return {};
            }
            if (p.icon) {
                DrawIconEx(canvas.dc(), 0, 0, p.icon.get(), p.width, p.height, 0, nullptr, DI_NORMAL);
            } else {
                const RECT r = canvas.rect();
                PlayEnhMetaFile(canvas.dc(), p.metafile.get(), &r);
            }
            return canvas.take();
        }
        case Picture::Kind::None:
            break;
    }
    return {};
}

std::string reason(const std::string& path, const std::string& why) {
    return "cannot read the picture " + path + ": " + (why.empty() ? "damaged file" : why);
}

}  // namespace

Picture decode_picture(const std::string& path, std::string* error) {
    std::string why;
    Picture p = decode(path, why);
    if (!p && error) *error = reason(path, why);
    return p;
}

unique_hbitmap load_picture(const std::string& path, std::string* error, COLORREF background) {
    std::string why;
    unique_hbitmap bmp = flatten(decode(path, why), background, why);
    if (!bmp && error) *error = reason(path, why);
    return bmp;
}

std::vector<vx::imaging::Rgb> load_picture_palette(const std::string& path, std::string* error) {
    std::string why;
    std::vector<vx::imaging::Rgb> out;
    vx::Bytes bytes;
    if (read_whole(path, bytes, why)) {
        const Span d(bytes);
        if (vx::imaging::looks_like_pcx(d)) {
            if (auto pal = vx::imaging::pcx_palette(d, &why)) {
                out = std::move(*pal);
                if (out.empty()) why = "picture without a palette";
            }
        } else {
            Wic wic;
            ComPtr<IWICPalette> palette;
            UINT count = 0;
            if (wic.open(d, why)) {
                if (FAILED(wic.factory->CreatePalette(palette.put())) ||
                    (FAILED(wic.frame->CopyPalette(palette.get())) &&
                     FAILED(wic.decoder->CopyPalette(palette.get()))) ||
                    FAILED(palette->GetColorCount(&count)) || count == 0) {
                    why = "picture without a palette";
                } else {
                    std::vector<WICColor> colours(std::min<UINT>(count, 256));
                    UINT got = 0;
                    if (SUCCEEDED(
                            palette->GetColors(static_cast<UINT>(colours.size()), colours.data(), &got))) {
                        colours.resize(std::min<std::size_t>(got, colours.size()));
                        for (WICColor c : colours)
                            out.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                           static_cast<uint8_t>(c)});
                    }
                    if (out.empty()) why = "picture without a palette";
                }
            }
        }
    }
    if (out.empty() && error) *error = "cannot read the palette of " + path + ": " + why;
    return out;
}

}  // namespace vx::win::imaging
