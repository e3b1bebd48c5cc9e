// Texture pictures from files: the BMP load of a texture by its header, and BMP, PNG, JPEG and TGA pictures through the
// runtime's decoder.
#include "model/texture_files.h"

#include "runtime/file.h"
#include "runtime/image.h"
#include "runtime/picture.h"

namespace {

// Takes over a decoded image's size and texels; false, with the texture unchanged, when the
// image is null or no memory is left. Destroys the image.
bool adopt(texture_t& texture, rt::image_t* image) {
    const rt::image_info_t info = rt::image_query(image);
    const bool adopted = info.pixels != nullptr && info.bytes_per_pixel == 4 && info.pitch >= 0 &&
                         texture.assign_picture(static_cast<uint32_t>(info.width), static_cast<uint32_t>(info.height),
                                                static_cast<size_t>(info.pitch), info.pixels);
    rt::image_destroy(image);
    return adopted;
}

}  // namespace

bool load_texture(texture_t& texture, const char* file_name) {
    if (file_name == nullptr) return false;

    // The size as the file's information header declares it (byte offsets 18 and 22).
    const int file_number = rt::free_file_number();
    if (!rt::file_open_binary(file_number, file_name)) return false;
    uint32_t raw_width = 0;
    uint32_t raw_height = 0;
    const bool read = rt::file_read_u32(file_number, 19, &raw_width) && rt::file_read_u32(file_number, 23, &raw_height);
    rt::file_close(file_number);
    if (!read) return false;

    // Both fields are signed; a negative height marks rows stored top row first, which
    // the decoder puts right side up, so the buffer takes the magnitude.
    const auto file_width = static_cast<int32_t>(raw_width);
    const auto file_height = static_cast<int32_t>(raw_height);
    if (file_width < 1 || file_width > rt::image_max_side) return false;
    if (file_height == 0 || file_height < -rt::image_max_side || file_height > rt::image_max_side) {
        return false;
    }
    // Refuse truncated or hostile files before allocating a buffer of the declared size.
    int32_t probed_width = 0;
    int32_t probed_height = 0;
    if (!rt::bmp_probe(file_name, &probed_width, &probed_height) || probed_width != file_width ||
        probed_height != file_height) {
        return false;
    }
    const int32_t rows = file_height < 0 ? -file_height : file_height;

    rt::image_t* image = rt::image_create(file_width, rows, 0, 32);
    if (image == nullptr) return false;
    if (!rt::bmp_load(file_name, image)) {
        rt::image_destroy(image);
        return false;
    }
    return adopt(texture, image);
}

bool load_texture_picture(texture_t& texture, const char* file_name, std::string* why) {
    if (file_name == nullptr) {
        *why = "no file name";
        return false;
    }
    rt::image_t* image = rt::picture_load(file_name, why);
    if (image == nullptr) return false;
    if (adopt(texture, image)) return true;
    *why = "no memory for the texture";
    return false;
}

bool decode_texture_picture(texture_t& texture, const uint8_t* bytes, size_t size, std::string* why) {
    rt::image_t* image = rt::picture_decode(bytes, size, why);
    if (image == nullptr) return false;
    if (adopt(texture, image)) return true;
    *why = "no memory for the texture";
    return false;
}
