#pragma once
// Pictures of what the screen shows, saved as PNG with the system's imaging component (Wine has
// its own), for a person to look at after the run.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <filesystem>

#include "win/util/handle.h"

namespace vx::win::test {

namespace screenshot_detail {

struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    T** put() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace screenshot_detail

// Encodes a bitmap as a 24-bit PNG.
inline bool save_png(HBITMAP bitmap, const std::filesystem::path& path) {
    using namespace screenshot_detail;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.put()))))
        return false;
    ComPtr<IWICBitmap> source;
    if (FAILED(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, source.put()))) return false;
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.put()))) return false;
    if (FAILED(stream->InitializeFromFilename(path.wstring().c_str(), GENERIC_WRITE))) return false;
    ComPtr<IWICBitmapEncoder> encoder;
    if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()))) return false;
    if (FAILED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache))) return false;
    ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(encoder->CreateNewFrame(frame.put(), nullptr))) return false;
    if (FAILED(frame->Initialize(nullptr))) return false;
    UINT w = 0, h = 0;
    source->GetSize(&w, &h);
    frame->SetSize(w, h);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    frame->SetPixelFormat(&format);
    if (FAILED(frame->WriteSource(source.p, nullptr))) return false;
    return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

// The whole screen as it is now, saved at `path`; false when it could not be taken or written.
inline bool save_screen(const std::filesystem::path& path) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    unique_window_dc screen = get_window_dc(nullptr);
    unique_memory_dc memory(CreateCompatibleDC(screen.get().dc));
    unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get().dc, w, h));
    if (!memory || !bitmap) return false;
    {
        const scoped_select select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get().dc, 0, 0, SRCCOPY);
    }
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    return save_png(bitmap.get(), path);
}

}  // namespace vx::win::test
