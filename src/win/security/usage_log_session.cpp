#include "win/security/usage_log_session.h"

#include <exception>

#include "security/usage_log_print.h"
#include "win/util/text.h"

namespace vx::win::security {

bool UsageLogSession::flush(HWND owner) {
    if (tracker_.records().empty()) return true;
    try {
        tracker_.flush(log_path_, codec_);
        return true;
    } catch (const std::exception& e) {
        if (report_)
            report_(e.what());
        else
            MessageBoxW(owner, widen(e.what()).c_str(), widen(vx::security::kUsageLogTitle).c_str(),
                        MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
}

}  // namespace vx::win::security
