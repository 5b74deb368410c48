#include "win/imaging/picture.h"

#include <windows.h>

#include "win/util/text.h"

namespace vx::win::imaging {

unique_hbitmap load_picture(const std::string& path, std::string* error) {
    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageW(nullptr, widen(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bmp && error) *error = "cannot read the picture " + path;
    return unique_hbitmap(bmp);
}

}  // namespace vx::win::imaging
