#include "win/imaging/picture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "util/file_io.h"
#include "win/shell/main_form.h"
#include "win/surface/page_objects.h"
#include "win/shell/registry_settings.h"
#include "win/support/dib_surface.h"
#include "win/util/text.h"

namespace vx::win::imaging {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

std::string fixture(const std::string& name) {
    return std::string(VX_FIXTURES_DIR) + "/imaging/" + name;
}

// A scratch folder of the test's own, emptied afterwards.
class ScratchDir {
public:
    ScratchDir() {
        wchar_t tmp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, tmp);
        path = narrow(tmp) + "vximg" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(widen(path).c_str(), nullptr);
    }
    ~ScratchDir() {
        for (const std::string& f : files) DeleteFileW(widen(f).c_str());
        RemoveDirectoryW(widen(path).c_str());
    }
    std::string write(const std::string& name, const Bytes& data) {
        const std::string f = join_path(path, name);
        write_file_atomic(f, data);
        files.push_back(f);
        return f;
    }
    std::string path;
    std::vector<std::string> files;
};

struct Size {
    int width = 0, height = 0;
};
Size size_of(HBITMAP bmp) {
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    return {info.bmWidth, std::abs(info.bmHeight)};
}

COLORREF pixel(HBITMAP bmp, int x, int y) {
    const Size s = size_of(bmp);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = s.width;
    info.bmiHeader.biHeight = -s.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> px(static_cast<size_t>(s.width) * s.height);
    const unique_memory_dc dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.get(), bmp, 0, s.height, px.data(), &info, DIB_RGB_COLORS);
    const uint32_t p = px[static_cast<size_t>(y) * s.width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool close_to(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string hex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

TEST(LoadPicture, EachFormatGivesItsSizeAndColours) {
    // Every fixture is 6x4, left half red and right half blue, unless the row says otherwise.
    // GIF and PNG with transparency have a see-through right half, laid on the given colour.
    const COLORREF under = RGB(10, 200, 30);
    const struct Row {
        const char* file;
        int width, height;
        COLORREF left, right;
        int tolerance;
    } rows[] = {
        {"png24.png", 6, 4, kRed, kBlue, 0}, {"jpeg.jpg", 6, 4, kRed, kBlue, 40},
        {"gif.gif", 6, 4, kRed, kBlue, 0},   {"tiff.tif", 6, 4, kRed, kBlue, 0},
        {"pcx24.pcx", 6, 4, kRed, kBlue, 0}, {"pcx8.pcx", 6, 4, kRed, kBlue, 0},
        {"alpha.png", 6, 4, kRed, under, 0}, {"gif_anim.gif", 6, 4, kRed, under, 0},
        {"multi.tif", 6, 4, kRed, kBlue, 0},
    };
    for (const Row& r : rows) {
        std::string error;
        const unique_hbitmap bmp = load_picture(fixture(r.file), &error, under);
        ASSERT_TRUE(bmp) << r.file << ": " << error;
        const Size s = size_of(bmp.get());
        EXPECT_EQ(s.width, r.width) << r.file;
        EXPECT_EQ(s.height, r.height) << r.file;
        EXPECT_PRED3(close_to, pixel(bmp.get(), 1, 1), r.left, r.tolerance)
            << r.file << " " << hex(pixel(bmp.get(), 1, 1));
        EXPECT_PRED3(close_to, pixel(bmp.get(), 4, 2), r.right, r.tolerance)
            << r.file << " " << hex(pixel(bmp.get(), 4, 2));
    }
    // A GIF whose first frame (3x2 red) sits at (2,1) of a 6x4 screen: the whole screen, the
    // rest see-through.
    std::string error;
    const unique_hbitmap offset = load_picture(fixture("gif_offset.gif"), &error, under);
    ASSERT_TRUE(offset) << error;
    EXPECT_EQ(size_of(offset.get()).width, 6);
    EXPECT_EQ(size_of(offset.get()).height, 4);
    EXPECT_EQ(pixel(offset.get(), 2, 1), kRed);
    EXPECT_EQ(pixel(offset.get(), 4, 2), kRed);
    EXPECT_EQ(pixel(offset.get(), 1, 1), under);
    EXPECT_EQ(pixel(offset.get(), 2, 3), under);
    // Without a colour of its own the see-through part is silver.
    const unique_hbitmap plain = load_picture(fixture("alpha.png"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(pixel(plain.get(), 4, 2), kPictureBackground);
}

TEST(LoadPicture, IconGivesItsLargestImage) {
    // A 16x16 red and a 32x32 green image.
    std::string error;
    const unique_hbitmap bmp = load_picture(fixture("icon.ico"), &error);
    ASSERT_TRUE(bmp) << error;
    const Size s = size_of(bmp.get());
    EXPECT_EQ(s.width, 32);
    EXPECT_EQ(s.height, 32);
    EXPECT_EQ(pixel(bmp.get(), 20, 20), kGreen);
}

// A metafile of one inch by half an inch: left half red, right half blue.
Bytes make_wmf_records() {
    const HDC mf = CreateMetaFileW(nullptr);
    SetWindowOrgEx(mf, 0, 0, nullptr);
    SetWindowExtEx(mf, 1440, 720, nullptr);
    const unique_hbrush red(CreateSolidBrush(kRed)), blue(CreateSolidBrush(kBlue));
    SelectObject(mf, red.get());
    PatBlt(mf, 0, 0, 720, 720, PATCOPY);
    SelectObject(mf, blue.get());
    PatBlt(mf, 720, 0, 720, 720, PATCOPY);
    const HMETAFILE h = CloseMetaFile(mf);
    Bytes out(GetMetaFileBitsEx(h, 0, nullptr));
    GetMetaFileBitsEx(h, static_cast<UINT>(out.size()), out.data());
    DeleteMetaFile(h);
    return out;
}

Bytes placeable(const Bytes& records, int16_t right, int16_t bottom, uint16_t inch) {
    uint16_t head[11] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<uint16_t>(right), static_cast<uint16_t>(bottom),
                         inch,   0,      0, 0};
    for (int i = 0; i < 10; ++i) head[10] ^= head[i];
    Bytes out(22 + records.size());
    std::memcpy(out.data(), head, 22);
    std::copy(records.begin(), records.end(), out.begin() + 22);
    return out;
}

Bytes make_emf() {
    // The frame is in hundredths of a millimetre: one inch by half an inch.
    const RECT frame{0, 0, 2540, 1270};
    const HDC ref = GetDC(nullptr);
    const int dpi = GetDeviceCaps(ref, LOGPIXELSX);
    const HDC mf = CreateEnhMetaFileW(ref, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, ref);
    const unique_hbrush red(CreateSolidBrush(kRed)), blue(CreateSolidBrush(kBlue));
    const RECT left{0, 0, dpi / 2, dpi / 2}, right{dpi / 2, 0, dpi, dpi / 2};
    FillRect(mf, &left, red.get());
    FillRect(mf, &right, blue.get());
    const HENHMETAFILE h = CloseEnhMetaFile(mf);
    Bytes out(GetEnhMetaFileBits(h, 0, nullptr));
    GetEnhMetaFileBits(h, static_cast<UINT>(out.size()), out.data());
    DeleteEnhMetaFile(h);
    return out;
}

TEST(LoadPicture, MetafilesAreDrawnAtTheirNaturalSize) {
    ScratchDir dir;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const Bytes records = make_wmf_records();
    const struct Row {
        const char* name;
        Bytes data;
    } rows[] = {
        {"placeable.wmf", placeable(records, 1440, 720, 1440)},
        {"enhanced.emf", make_emf()},
    };
    for (const Row& r : rows) {
        std::string error;
        const unique_hbitmap bmp = load_picture(dir.write(r.name, r.data), &error);
        ASSERT_TRUE(bmp) << r.name << ": " << error;
        const Size s = size_of(bmp.get());
        EXPECT_NEAR(s.width, dpi, 1) << r.name;
        EXPECT_NEAR(s.height, dpi / 2, 1) << r.name;
        EXPECT_EQ(pixel(bmp.get(), dpi / 4, dpi / 4), kRed) << r.name;
        EXPECT_EQ(pixel(bmp.get(), dpi * 3 / 4, dpi / 4), kBlue) << r.name;
    }
    // Without the placeable header the window extent is the size in pixels, scaled down to fit
    // 1024 when larger.
    std::string error;
    const unique_hbitmap plain = load_picture(dir.write("plain.wmf", records), &error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(size_of(plain.get()).width, 1024);
    EXPECT_EQ(size_of(plain.get()).height, 512);
    EXPECT_EQ(pixel(plain.get(), 200, 200), kRed);
    EXPECT_EQ(pixel(plain.get(), 800, 200), kBlue);
}

TEST(LoadPicture, DamagedOrUnknownFilesGiveNothingWithAReason) {
    ScratchDir dir;
    const Bytes png = read_file(fixture("png24.png"));
    const Bytes pcx = read_file(fixture("pcx24.pcx"));
    Bytes emf = make_emf();
    emf[48] = 0xFF;  // a stated length beyond the file
    emf[49] = 0xFF;
    Bytes emf_record = make_emf();
    // The record after the header claims far more than the file holds.
    const size_t after_header = emf_record[4] | (emf_record[5] << 8);
    emf_record[after_header + 4] = 0xF0;
    emf_record[after_header + 6] = 0x01;
    Bytes wmf_record = make_wmf_records();
    wmf_record[18] = 0xFF;  // the first record likewise
    wmf_record[20] = 0x01;
    Bytes ico = read_file(fixture("icon.ico"));
    ico[4] = 0xFF;  // 255 images promised
    const struct Row {
        const char* name;
        Bytes data;
        const char* reason;
    } rows[] = {
        {"empty.png", {}, "empty file"},
        {"text.png", {'h', 'e', 'l', 'l', 'o'}, "not a picture format"},
        {"cut.png", Bytes(png.begin(), png.begin() + 40), ""},
        {"cut.pcx", Bytes(pcx.begin(), pcx.begin() + 140), "PCX picture data truncated"},
        {"long.emf", emf, "damaged metafile"},
        {"record.emf", emf_record, "damaged metafile"},
        {"record.wmf", wmf_record, "damaged metafile"},
        {"record2.wmf", placeable(wmf_record, 1440, 720, 1440), "damaged metafile"},
        {"bad.ico", ico, "damaged icon file"},
        {"inch0.wmf", placeable(make_wmf_records(), 1440, 720, 0), "damaged metafile"},
        {"cut.wmf", placeable(Bytes(5, 0), 1440, 720, 1440), "damaged metafile"},
        // A plain metafile header and its end record, nothing to size it by.
        {"noext.wmf",
         {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0},
         "metafile of no usable size"},
    };
    for (const Row& r : rows) {
        std::string error;
        EXPECT_FALSE(load_picture(dir.write(r.name, r.data), &error)) << r.name;
        EXPECT_NE(error.find(r.reason), std::string::npos) << r.name << ": " << error;
        EXPECT_NE(error.find(r.name), std::string::npos) << "the reason names the file: " << error;
    }
    std::string error;
    EXPECT_FALSE(load_picture(join_path(dir.path, "none.png"), &error));
    EXPECT_NE(error.find("file not found"), std::string::npos) << error;
}

TEST(LoadPicturePalette, PalettePicturesGiveTheirColoursAndOthersNone) {
    for (const char* name : {"pcx8.pcx", "gif.gif"}) {
        std::string error;
        const auto palette = load_picture_palette(fixture(name), &error);
        ASSERT_FALSE(palette.empty()) << name << ": " << error;
        EXPECT_LE(palette.size(), 256u);
        EXPECT_NE(std::find(palette.begin(), palette.end(), vx::imaging::Rgb{255, 0, 0}), palette.end())
            << name;
        EXPECT_NE(std::find(palette.begin(), palette.end(), vx::imaging::Rgb{0, 0, 255}), palette.end())
            << name;
    }
    std::string error;
    EXPECT_TRUE(load_picture_palette(fixture("jpeg.jpg"), &error).empty());
    EXPECT_NE(error.find("without a palette"), std::string::npos) << error;
    EXPECT_TRUE(load_picture_palette(fixture("pcx24.pcx"), &error).empty());
}

TEST(PictureOnThePage, ImageObjectShowsAPngOverWhatLiesBeneathIt) {
    // Without a frame the page shows through; a frame's face lies under the picture otherwise.
    const struct Row {
        int shape;
        model::Color color;
        COLORREF beneath;
    } rows[] = {{0, 0xC0C0C0, RGB(255, 255, 255)}, {19, 0x00FF00, kGreen}};
    for (const Row& r : rows) {
        model::ImageData d;
        d.bounds = {10, 10, 60, 40};
        d.stretch = true;
        d.shape = r.shape;
        d.color = r.color;
        d.picture_path = fixture("alpha.png");
        model::ObjectEntry entry{d};
        surface::PageObjectEnv env;
        surface::PageObject object(entry, env);
        test::DibSurface dib(100, 80, RGB(255, 255, 255));
        object.paint(dib.dc());
        EXPECT_EQ(dib.at(25, 30), kRed) << r.shape;
        EXPECT_EQ(dib.at(55, 30), r.beneath) << r.shape << ": the see-through half";
    }
}

TEST(PictureOnThePage, WallpaperShowsAPngStretchedOverThePage) {
    ScratchDir dir;
    dir.write("wall.png", read_file(fixture("png24.png")));
    const std::wstring key =
        L"Software\\Halvane\\VantoraTest\\Picture" + std::to_wstring(GetCurrentProcessId());
    {
        shell::RegistrySettingsStore store{key};
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        shell::TMainForm form(store);
        form.set_program_dir(dir.path);
        ASSERT_TRUE(form.create(GetModuleHandleW(nullptr)));
        form.first_show();
        dir.files.push_back(join_path(dir.path, "VX.DTP"));
        dir.files.push_back(join_path(dir.path, "VX.BAK"));
        model::Page* page = form.station().desktop().current();
        ASSERT_NE(page, nullptr);
        page->background = "wall.png";
        page->wallpaper = true;
        page->tile_image = false;
        page->center_image = false;
        ASSERT_TRUE(form.select_tab(0));

        const HWND area = form.main_area().hwnd();
        RECT client{};
        GetClientRect(area, &client);
        ASSERT_GT(client.right, 20);
        ASSERT_GT(client.bottom, 20);
        test::DibSurface dib(client.right, client.bottom, RGB(255, 255, 255));
        SendMessageW(area, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc()), PRF_CLIENT);
        EXPECT_EQ(dib.at(client.right / 4, client.bottom / 2), kRed);
        EXPECT_EQ(dib.at(client.right * 3 / 4, client.bottom / 2), kBlue);
        DestroyWindow(form.hwnd());
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
}  // namespace vx::win::imaging
