#include "platform/picture_layout.h"

#include <algorithm>
#include <cstdint>

namespace platform {

PictureLayout layoutPicture(Size picture, Size area, int maxTexture) {
    PictureLayout layout;
    if (picture.width <= 0 || picture.height <= 0 || area.width <= 0 || area.height <= 0) {
        return layout;
    }
    // Cross-multiplied in 64 bits, so the aspect test is exact.
    int64_t width = area.width, height = area.height;
    if (int64_t(area.width) * picture.height > int64_t(area.height) * picture.width) {
        width = int64_t(area.height) * picture.width / picture.height;
    } else {
        height = int64_t(area.width) * picture.height / picture.width;
    }
    layout.dest.left = int32_t((area.width - width) / 2);
    layout.dest.top = int32_t((area.height - height) / 2);
    layout.dest.right = layout.dest.left + int32_t(width);
    layout.dest.bottom = layout.dest.top + int32_t(height);

    int factor = int(std::min(width / picture.width, height / picture.height));
    if (maxTexture > 0) {
        while (factor > 1 && (int64_t(factor) * picture.width > maxTexture ||
                              int64_t(factor) * picture.height > maxTexture)) {
            --factor;
        }
    }
    layout.factor = std::max(factor, 1);
    return layout;
}

Size windowedSize(Size picture, Size area) {
    if (picture.width <= 0 || picture.height <= 0) return picture;
    const int factor =
        std::max(1, std::min(area.width / picture.width, area.height / picture.height));
    return {picture.width * factor, picture.height * factor};
}

}  // namespace platform
