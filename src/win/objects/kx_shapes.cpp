#include "win/objects/kx_shapes.h"

namespace vx::win::objects {

bool TKXLabel::DialogChar(wchar_t key) {
    if (!show_accel_char_ || !focus_control_) return false;
    if (!vx::objects::label_accel_matches(data_.text, static_cast<char32_t>(key))) return false;
    // The control may have been destroyed since it was named.
    if (!IsWindow(focus_control_) || !IsWindowVisible(focus_control_) || !IsWindowEnabled(focus_control_))
        return false;
    SetFocus(focus_control_);
    return true;
}

void TKXImage::SetPicture(std::unique_ptr<vx::objects::ImagePicture> picture) {
    picture_ = std::move(picture);
    const vx::objects::PictureChange change =
        vx::objects::image_picture_changed(data_, false, picture_.get());
    data_.bounds = change.bounds;
    opaque_ = change.opaque;
    refresh();
}

}  // namespace vx::win::objects
