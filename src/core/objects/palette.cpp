#include "port/canvas.h"

namespace vx::port {

int Palette::nearest(Color c) const {
    int best = 0;
    long best_distance = -1;
    for (int i = 0; i < 256; ++i) {
        const Color e = entries[static_cast<size_t>(i)];
        const long dr = red_of(e) - red_of(c), dg = green_of(e) - green_of(c), db = blue_of(e) - blue_of(c);
        const long d = dr * dr + dg * dg + db * db;
        if (best_distance < 0 || d < best_distance) {
            best = i;
            best_distance = d;
            if (d == 0) break;
        }
    }
    return best;
}

}  // namespace vx::port
