#include "win/security/dde_server.h"

#include <exception>

#include "win/util/text.h"
#include "win/util/trace.h"

namespace vx::win::security {
namespace {

// DDEML hands its callback no context; the one server of a thread is found here.
thread_local DdeServerItem* g_server = nullptr;

}  // namespace

DdeServerItem::~DdeServerItem() {
    stop();
}

bool DdeServerItem::serve(const wchar_t* service) {
    if (serving()) return true;
    if (g_server) return false;
    g_server = this;
    DWORD instance = 0;
    const UINT status =
        DdeInitializeW(&instance, &DdeServerItem::callback,
                       APPCLASS_STANDARD | CBF_FAIL_EXECUTES | CBF_FAIL_POKES | CBF_SKIP_ALLNOTIFICATIONS, 0);
    if (status != DMLERR_NO_ERROR) {
        g_server = nullptr;
        log_error("DDE server: DdeInitialize failed with " + std::to_string(status));
        return false;
    }
    instance_ = instance;
    service_ = DdeCreateStringHandleW(instance_, service, CP_WINUNICODE);
    topic_ = DdeCreateStringHandleW(instance_, kDdeTopic, CP_WINUNICODE);
    item_ = DdeCreateStringHandleW(instance_, kDdeItem, CP_WINUNICODE);
    if (!service_ || !topic_ || !item_ || !DdeNameService(instance_, service_, nullptr, DNS_REGISTER)) {
        log_error("DDE server: the service could not be registered (" +
                  std::to_string(DdeGetLastError(instance_)) + ")");
        stop();
        return false;
    }
    return true;
}

void DdeServerItem::stop() {
    if (!serving()) return;
    if (service_) DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
    for (HSZ* handle : {&service_, &topic_, &item_}) {
        if (*handle) DdeFreeStringHandle(instance_, *handle);
        *handle = nullptr;
    }
    DdeUninitialize(instance_);
    instance_ = 0;
    if (g_server == this) g_server = nullptr;
}

void DdeServerItem::set_text(const std::string& text) {
    text_ = text;
    if (serving()) DdePostAdvise(instance_, topic_, item_);
}

bool DdeServerItem::same(HSZ a, HSZ b) const {
    return a && b && DdeCmpStringHandles(a, b) == 0;
}

HDDEDATA DdeServerItem::data(UINT format) const {
    if (format == CF_UNICODETEXT) {
        const std::wstring wide = widen(text_);
        return DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(const_cast<wchar_t*>(wide.c_str())),
                                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)), 0, item_, format,
                                   0);
    }
    if (format == CF_TEXT) {
        const std::string ansi = utf8_to_ansi(text_);
        return DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(const_cast<char*>(ansi.c_str())),
                                   static_cast<DWORD>(ansi.size() + 1), 0, item_, format, 0);
    }
    return nullptr;
}

HDDEDATA DdeServerItem::on_transaction(UINT type, UINT format, HSZ first, HSZ second) {
    const auto yes = reinterpret_cast<HDDEDATA>(TRUE);
    switch (type) {
        case XTYP_CONNECT:  // first: topic, second: service
            return same(first, topic_) && same(second, service_) ? yes : nullptr;
        case XTYP_WILDCONNECT: {
            if ((first && !same(first, topic_)) || (second && !same(second, service_))) return nullptr;
            HSZPAIR pairs[2] = {{service_, topic_}, {nullptr, nullptr}};
            return DdeCreateDataHandle(instance_, reinterpret_cast<LPBYTE>(pairs), sizeof pairs, 0, nullptr,
                                       0, 0);
        }
        case XTYP_REQUEST:  // first: topic, second: item
        case XTYP_ADVREQ:
            return same(first, topic_) && same(second, item_) ? data(format) : nullptr;
        case XTYP_ADVSTART:
            return same(first, topic_) && same(second, item_) &&
                           (format == CF_TEXT || format == CF_UNICODETEXT)
                       ? yes
                       : nullptr;
        default:
            return nullptr;
    }
}

HDDEDATA CALLBACK DdeServerItem::callback(UINT type, UINT format, HCONV, HSZ first, HSZ second, HDDEDATA,
                                          ULONG_PTR, ULONG_PTR) {
    // A callback must not let an exception into the system's DDE code.
    try {
        return g_server && g_server->serving() ? g_server->on_transaction(type, format, first, second)
                                               : nullptr;
    } catch (const std::exception& e) {
        log_error(std::string("DDE server: ") + e.what());
        return nullptr;
    }
}

}  // namespace vx::win::security
