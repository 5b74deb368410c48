#include "port/clock.h"

#include <chrono>
#include <ctime>

namespace vx {

DateTime SystemClock::now() const {
    const auto tp = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(tp);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &secs);
#else
    localtime_r(&secs, &local);
#endif
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(tp.time_since_epoch()).count() % 1000;
    return make_datetime(CivilDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                         CivilTime{local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms)});
}

}  // namespace vx
