#pragma once
// The program's DDE server: one item carrying the logged-in user's name, for programs of the
// session that ask for it once (a request) or keep watching it (an advise loop). It only gives:
// pokes and executes are refused, so no client can change the name or make the shell do anything.
#include <windows.h>
// windows.h first
#include <ddeml.h>

#include <string>

#include "security/login.h"

namespace vx::win::security {

// Service, topic and item as clients address them ("Vantorx|User!DdeServerItem1").
inline constexpr const wchar_t* kDdeService = L"Vantorx";
inline constexpr const wchar_t* kDdeTopic = L"User";
inline constexpr const wchar_t* kDdeItem = L"DdeServerItem1";

class DdeServerItem final : public vx::security::DdeItem {
public:
    DdeServerItem() = default;
    ~DdeServerItem() override;
    DdeServerItem(const DdeServerItem&) = delete;
    DdeServerItem& operator=(const DdeServerItem&) = delete;

    // Registers the service on the calling thread, whose messages must then be pumped (the main
    // window's thread). One server per thread; false when the system refused.
    bool serve(const wchar_t* service = kDdeService);
    void stop();
    bool serving() const { return instance_ != 0; }

    // Keeps the text and hands it to every client watching the item.
    void set_text(const std::string& text) override;
    const std::string& text() const { return text_; }

private:
    static HDDEDATA CALLBACK callback(UINT type, UINT format, HCONV conversation, HSZ first, HSZ second,
                                      HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA on_transaction(UINT type, UINT format, HSZ first, HSZ second);
    bool same(HSZ a, HSZ b) const;
    // The text in `format` (CF_TEXT or CF_UNICODETEXT); null for any other format.
    HDDEDATA data(UINT format) const;

    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    HSZ item_ = nullptr;
    std::string text_;
};

}  // namespace vx::win::security
