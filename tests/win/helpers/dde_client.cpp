// A DDE client for the tests, a program of its own as the session's other programs are: it
// connects to SERVICE|TOPIC, requests ITEM as text, tries a poke and an execute, and with
// "--watch N" keeps an advise loop until N updates came or twenty seconds passed. Each outcome is
// one line on standard output, flushed at once: "request TEXT", "poke refused, execute refused",
// "watching", "advise TEXT", or "no connection".
#include <windows.h>
// windows.h first
#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int g_updates = 0;

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string text_of(HDDEDATA data) {
    if (!data) return "(none)";
    std::string text(DdeGetData(data, nullptr, 0, 0), '\0');
    DdeGetData(data, reinterpret_cast<LPBYTE>(text.data()), static_cast<DWORD>(text.size()), 0);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

HDDEDATA CALLBACK callback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    if (type != XTYP_ADVDATA) return nullptr;
    say("advise " + text_of(data));
    ++g_updates;
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

// True when the server acknowledged the transaction positively.
bool taken(HCONV conversation, HSZ item, UINT format, UINT type, const char* bytes) {
    DWORD result = 0;
    std::string data(bytes);
    const HDDEDATA answer =
        DdeClientTransaction(reinterpret_cast<LPBYTE>(data.data()), static_cast<DWORD>(data.size() + 1),
                             conversation, item, format, type, 3000, &result);
    return answer && (result & DDE_FACK);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const int wanted = argc >= 6 && std::wstring(argv[4]) == L"--watch" ? _wtoi(argv[5]) : 0;
    DWORD instance = 0;
    if (DdeInitializeW(&instance, &callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 3;
    const HSZ service = DdeCreateStringHandleW(instance, argv[1], CP_WINUNICODE);
    const HSZ topic = DdeCreateStringHandleW(instance, argv[2], CP_WINUNICODE);
    const HSZ item = DdeCreateStringHandleW(instance, argv[3], CP_WINUNICODE);
    // One conversation for each transaction: some DDE libraries answer a request with a stray
    // acknowledgement that the next transaction of the same conversation would take for its own.
    const auto converse = [&](auto&& transaction) {
        const HCONV conversation = DdeConnect(instance, service, topic, nullptr);
        if (!conversation) return false;
        transaction(conversation);
        DdeDisconnect(conversation);
        return true;
    };
    const bool connected = converse([&](HCONV conversation) {
        const HDDEDATA answer =
            DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, XTYP_REQUEST, 5000, nullptr);
        say("request " + text_of(answer));
        if (answer) DdeFreeDataHandle(answer);
    });
    if (!connected) {
        say("no connection");
    } else {
        bool poked = false, executed = false;
        converse(
            [&](HCONV conversation) { poked = taken(conversation, item, CF_TEXT, XTYP_POKE, "MALLORY"); });
        converse(
            [&](HCONV conversation) { executed = taken(conversation, nullptr, 0, XTYP_EXECUTE, "[Exit]"); });
        say(std::string("poke ") + (poked ? "taken" : "refused") + ", execute " +
            (executed ? "taken" : "refused"));
        if (wanted > 0)
            converse([&](HCONV conversation) {
                if (!DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, XTYP_ADVSTART, 5000,
                                          nullptr))
                    return;
                say("watching");
                const DWORD until = GetTickCount() + 20000;
                while (g_updates<wanted&& static_cast<LONG>(until - GetTickCount())> 0) {
                    MSG msg;
                    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                        TranslateMessage(&msg);
                        DispatchMessageW(&msg);
                    }
                    Sleep(10);
                }
            });
    }
    for (HSZ h : {service, topic, item}) DdeFreeStringHandle(instance, h);
    DdeUninitialize(instance);
    return 0;
}
