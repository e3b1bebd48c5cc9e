// texture_t: construction, BMP loading through the runtime's image buffer, other pictures through its decoder.
#include "surfaces/texture.h"

#include "runtime/file.h"
#include "runtime/image.h"
#include "runtime/picture.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

uint8_t* zeroed_bytes(size_t count) {
    auto* bytes = new (std::nothrow) uint8_t[count];
    if (bytes != nullptr) std::memset(bytes, 0, count);
    return bytes;
}

}  // namespace

texture_t::texture_t(uint32_t w, uint32_t h, uint32_t d) {
    pixels = nullptr;
    width = 0;
    height = 0;
    depth = 0;
    d = std::clamp<uint32_t>(d, 8, 32);
    if (w == 0) w = 1;
    if (h == 0) h = 1;
    // Sides beyond what load would ever accept are clamped so that the byte count cannot
    // overflow or ask for more than a gigabyte.
    w = std::min<uint32_t>(w, static_cast<uint32_t>(rt::image_max_side));
    h = std::min<uint32_t>(h, static_cast<uint32_t>(rt::image_max_side));
    pixels = zeroed_bytes(static_cast<size_t>(h) * w * (d / 8));
    if (pixels == nullptr) {
        // Out of memory for the requested size: a 1 x 1 texture keeps the fields consistent.
        w = 1;
        h = 1;
        pixels = new uint8_t[d / 8]();
    }
    width = w;
    height = h;
    depth = d;
}

texture_t::~texture_t() { delete[] pixels; }

bool texture_t::load(const char* file_name) {
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
    return adopt(image);
}

bool texture_t::adopt(rt::image_t* image) {
    const rt::image_info_t info = rt::image_query(image);
    const bool usable = info.pixels != nullptr && info.bytes_per_pixel == 4 && info.width >= 1 && info.height >= 1 &&
                        info.pitch >= info.width * 4;
    // The new texels are built aside and swapped in only once complete, so a failure at
    // any step leaves the texture's previous size and contents untouched.
    uint8_t* texels =
        usable ? zeroed_bytes(static_cast<size_t>(info.height) * static_cast<size_t>(info.width) * 4) : nullptr;
    if (texels == nullptr) {
        rt::image_destroy(image);
        return false;
    }

    const size_t row_bytes = static_cast<size_t>(info.width) * 4;
    for (int32_t y = 0; y < info.height; ++y) {
        const uint8_t* from = info.pixels + static_cast<size_t>(y) * static_cast<size_t>(info.pitch);
        uint8_t* to = texels + static_cast<size_t>(y) * row_bytes;
        for (size_t x = 0; x < row_bytes; x += 4) {
            to[x + 0] = from[x + 0];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x + 2];
            to[x + 3] = static_cast<uint8_t>(255 - from[x + 3]);
        }
    }

    delete[] pixels;
    pixels = texels;
    width = static_cast<uint32_t>(info.width);
    height = static_cast<uint32_t>(info.height);
    depth = 32;
    rt::image_destroy(image);
    return true;
}

bool texture_t::load_picture(const char* file_name, std::string* why) {
    if (file_name == nullptr) {
        *why = "no file name";
        return false;
    }
    rt::image_t* image = rt::picture_load(file_name, why);
    if (image == nullptr) return false;
    if (adopt(image)) return true;
    *why = "no memory for the texture";
    return false;
}

bool texture_t::decode_picture(const uint8_t* bytes, size_t size, std::string* why) {
    rt::image_t* image = rt::picture_decode(bytes, size, why);
    if (image == nullptr) return false;
    if (adopt(image)) return true;
    *why = "no memory for the texture";
    return false;
}
