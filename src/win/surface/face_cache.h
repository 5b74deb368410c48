#pragma once
// An object's face kept as pixels, so that a page repaint copies faces instead of drawing every
// bevel, gradient band and caption again. A face is learnt by painting the object twice into a
// scratch bitmap, once over black and once over white: a pixel that comes out the same both
// times is the object's own, one that comes out black and then white is the page showing
// through, and any other (text edges blended into the page, an inverting pen) means the face
// depends on what lies under it, so that object is painted directly every time. Faces are
// copied only into 32-bit DIB sections whose clip is one rectangle, where a copy gives exactly
// the pixels the paint would.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vx::win::surface {

// A device context's pixels, when it paints into a 32-bit DIB section through a clip of one
// rectangle in the text mapping mode. Coordinates are the bitmap's (device) ones.
struct DibPixels {
    uint8_t* top_row = nullptr;  // the bitmap's first row as shown
    long row_step = 0;           // bytes from one shown row to the next (negative bottom-up)
    RECT clip{};                 // within the bitmap
};
std::optional<DibPixels> dib_pixels(HDC dc);

// The pattern phase an object at device point `at` of `dc` paints with: a face learnt with
// this phase lines its brush patterns up with the page's.
POINT brush_phase(HDC dc, POINT at);

// Faces kept before the last call to forget_kept_faces are drawn again: the system colours or
// the display changed, and a face may show a colour looked up from them.
uint64_t kept_faces_epoch();
void forget_kept_faces();

class FaceCache {
public:
    // Faces above this many pixels are not kept: the memory would outweigh the paint.
    static constexpr long kMaxPixels = 1L << 20;

    bool empty() const { return width_ == 0; }
    void clear();
    // Paints `paint(dc)` twice into the scratch bitmap, the object's top-left corner at the
    // bitmap's origin (the callee draws in its own coordinates: `origin` is where its top-left
    // lies in them) with brush phase `phase`. False, and nothing kept, when the face depends
    // on the page under it or cannot be made.
    bool learn(SIZE size, POINT origin, POINT phase, const std::function<void(HDC)>& paint);
    // Copies the face with its top-left at device point `at`, inside the target's clip.
    void draw(const DibPixels& target, POINT at) const;

private:
    struct Span {
        int y, x0, x1;  // x1 exclusive
    };
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    std::vector<Span> spans_;  // the face's own pixels, row by row, left to right
};

}  // namespace vx::win::surface
