// softcube::save_png: the image's RGBA rows through the runtime's picture writer.
#include <string>
#include <vector>

#include "runtime/screenshot.h"
#include "softcube/softcube.h"

namespace softcube {

void save_png(const image& picture, const std::string& path) {
    if (picture.width < 1 || picture.height < 1 ||
        picture.pixels.size() != size_t(picture.width) * size_t(picture.height) * 4) {
        throw error("cannot write '" + path + "': the image's pixels do not match its width and height");
    }
    std::vector<uint8_t> bgra(picture.pixels.size());
    bool opaque = true;
    for (size_t i = 0; i < bgra.size(); i += 4) {
        bgra[i] = picture.pixels[i + 2];
        bgra[i + 1] = picture.pixels[i + 1];
        bgra[i + 2] = picture.pixels[i];
        bgra[i + 3] = picture.pixels[i + 3];
        opaque = opaque && picture.pixels[i + 3] == 255;
    }
    rt::picture_options_t options;
    options.keep_alpha = !opaque;
    options.format = rt::picture_format::png;
    std::string why;
    if (!rt::write_picture(path, bgra.data(), static_cast<uint32_t>(picture.width),
                           static_cast<uint32_t>(picture.height), &why, options)) {
        throw error(why);
    }
}

}  // namespace softcube
