#pragma once
// Pictures from files for wallpapers, image objects and previews. The one entry point every
// caller uses, so a format learnt here is learnt everywhere at once.
#include <string>

#include "win/util/handle.h"

namespace vx::win::imaging {

// A device-independent bitmap of the picture in `path`, or null with a reason in `error` (when
// given) for a file that is missing, damaged or in a format this build does not read.
unique_hbitmap load_picture(const std::string& path, std::string* error = nullptr);

}  // namespace vx::win::imaging
