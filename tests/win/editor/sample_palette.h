#pragma once
// A palette in which no two entries are alike, so that a test sees which entry went where.
#include "model/desktop.h"

namespace vx::win::test {

inline model::Palette rainbow() {
    model::Palette p{};
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>((i * 7) % 256),
                0};
    return p;
}

}  // namespace vx::win::test
