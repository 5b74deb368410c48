#pragma once
#include "util/datetime.h"

namespace vx {

// The local wall clock. Tests use a fake that they set and advance.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// The local time of the machine through the standard library.
class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

}  // namespace vx
