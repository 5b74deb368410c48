#pragma once
// An in-memory dialog template, so that tests need no resource file: a captioned dialog with a
// column of edit boxes (ids kEdit, kEdit + 1, ...) that Tab walks through.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace vx::win::test {

class DialogTemplate {
public:
    explicit DialogTemplate(int edits, const wchar_t* title = L"probe") {
        DLGTEMPLATE t{};
        t.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION;
        t.cdit = static_cast<WORD>(edits);
        t.cx = 120;
        t.cy = static_cast<short>(std::max(40, 10 + 16 * edits));
        put(&t, sizeof t);
        words({0, 0});  // no menu, default class
        text(title);
        for (int i = 0; i < edits; ++i) {
            align();
            DLGITEMTEMPLATE item{};
            item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
            item.x = 5;
            item.y = static_cast<short>(5 + 16 * i);
            item.cx = 100;
            item.cy = 12;
            item.id = static_cast<WORD>(kEdit + i);
            put(&item, sizeof item);
            words({0xFFFF, 0x0081});  // edit
            text(L"");
            words({0});  // no creation data
        }
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(buf_.data()); }
    static constexpr int kEdit = 100;

private:
    void put(const void* p, size_t n) {
        const size_t at = bytes_;
        bytes_ += n;
        buf_.resize((bytes_ + 3) / 4);
        std::memcpy(reinterpret_cast<char*>(buf_.data()) + at, p, n);
    }
    void words(std::initializer_list<WORD> ws) {
        for (WORD w : ws) put(&w, sizeof w);
    }
    void text(const wchar_t* s) { put(s, (wcslen(s) + 1) * sizeof(wchar_t)); }
    void align() {
        static const char zeros[4] = {};
        if (bytes_ % 4) put(zeros, 4 - bytes_ % 4);
    }
    std::vector<DWORD> buf_;
    size_t bytes_ = 0;
};

}  // namespace vx::win::test
