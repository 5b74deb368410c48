#pragma once
// Little-endian field access for the binary formats of the icon library. Callers check the
// bounds first; these only assemble bytes.
#include <cstddef>
#include <cstdint>

namespace vx::iconlib {

inline uint16_t get_u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t get_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t get_i32(const uint8_t* p) {
    return static_cast<int32_t>(get_u32(p));
}
inline void put_u16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put_u32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void put_i32(uint8_t* p, int32_t v) {
    put_u32(p, static_cast<uint32_t>(v));
}

}  // namespace vx::iconlib
