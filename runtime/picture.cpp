// Picture decoding: our own header checks in front of SDL2_image's PNG, JPEG and TGA decoders and SDL2's BMP decoder.
#include "runtime/picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <vector>

#include "runtime/regular_file.h"

namespace rt {
namespace {

enum class picture_kind { png, jpeg, tga, bmp };

uint32_t be16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 8 | p[1]; }
uint32_t be32(const uint8_t* p) { return be16(p) << 16 | be16(p + 2); }
uint32_t le16(const uint8_t* p) { return static_cast<uint32_t>(p[1]) << 8 | p[0]; }

// The declared size of a JPEG: the first start-of-frame marker's fields.
bool jpeg_size(const uint8_t* b, size_t size, int64_t* width, int64_t* height) {
    size_t at = 2;
    while (at + 4 <= size) {
        if (b[at] != 0xFF) return false;
        const uint8_t marker = b[at + 1];
        if (marker == 0xFF) {
            ++at;  // fill byte
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const size_t length = be16(b + at + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7 || at + 9 > size) return false;
            *height = be16(b + at + 5);
            *width = be16(b + at + 7);
            return true;
        }
        if (length < 2) return false;
        at += 2 + length;
    }
    return false;
}

// Which decoder, and the size the header declares.
bool probe(const uint8_t* b, size_t size, picture_kind* kind, int64_t* width, int64_t* height, std::string* why) {
    static constexpr uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 24 && std::memcmp(b, png_signature, 8) == 0) {
        if (std::memcmp(b + 12, "IHDR", 4) != 0) {
            *why = "malformed PNG header";
            return false;
        }
        *kind = picture_kind::png;
        *width = be32(b + 16);
        *height = be32(b + 20);
        return true;
    }
    if (size >= 2 && b[0] == 'B' && b[1] == 'M') {
        *kind = picture_kind::bmp;
        int32_t w = 0;
        int32_t h = 0;
        if (!bmp_size(b, size, &w, &h)) {
            *why = "not a BMP picture this program can read";
            return false;
        }
        *width = w;
        *height = h;
        return true;
    }
    if (size >= 4 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
        *kind = picture_kind::jpeg;
        if (!jpeg_size(b, size, width, height)) {
            *why = "malformed or truncated JPEG";
            return false;
        }
        return true;
    }
    // TGA has no signature: a colour-map type of 0 or 1, a known image type and a pixel depth.
    const bool tga = size >= 18 && b[1] <= 1 &&
                     (b[2] == 1 || b[2] == 2 || b[2] == 3 || b[2] == 9 || b[2] == 10 || b[2] == 11) &&
                     (b[16] == 8 || b[16] == 15 || b[16] == 16 || b[16] == 24 || b[16] == 32);
    if (!tga) {
        *why = "not a BMP, PNG, JPEG or TGA picture";
        return false;
    }
    *kind = picture_kind::tga;
    *width = le16(b + 12);
    *height = le16(b + 14);
    return true;
}

}  // namespace

image_t* picture_decode(const uint8_t* bytes, size_t size, std::string* why) {
    picture_kind kind{};
    int64_t width = 0;
    int64_t height = 0;
    if (bytes == nullptr || !probe(bytes, size, &kind, &width, &height, why)) return nullptr;
    if (width < 1 || height < 1 || width > image_max_side || height > image_max_side ||
        width * height > picture_max_texels) {
        // The message leaves the picture's own size out: the file may be one a model merely names.
        *why = "picture size out of range: sides of 1 to " + std::to_string(image_max_side) + " and at most " +
               std::to_string(picture_max_texels) + " texels are accepted";
        return nullptr;
    }
    if (kind == picture_kind::bmp) {
        image_t* image = bmp_decode(bytes, size);
        if (image == nullptr) *why = "not a BMP picture this program can read";
        return image;
    }
    if (size > static_cast<size_t>(INT32_MAX)) {
        *why = "picture too large";
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (source == nullptr) {
        *why = SDL_GetError();
        return nullptr;
    }
    static constexpr const char* type_names[] = {"PNG", "JPG", "TGA"};
    SDL_Surface* decoded = IMG_LoadTyped_RW(source, 1, type_names[static_cast<int>(kind)]);
    if (decoded == nullptr) {
        *why = std::string("cannot decode the picture: ") + IMG_GetError();
        return nullptr;
    }
    // The decoder must have sized the picture as the header said, or the limit above meant nothing.
    SDL_Surface* argb = decoded->w == width && decoded->h == height
                            ? SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0)
                            : nullptr;
    SDL_FreeSurface(decoded);
    image_t* image = argb != nullptr ? image_create(argb->w, argb->h, 0, 32) : nullptr;
    if (image == nullptr || SDL_LockSurface(argb) != 0) {
        if (argb != nullptr) SDL_FreeSurface(argb);
        image_destroy(image);
        *why = "cannot convert the decoded picture";
        return nullptr;
    }
    const image_info_t info = image_query(image);
    const size_t row_bytes = static_cast<size_t>(info.width) * 4;
    for (int32_t y = 0; y < info.height; ++y) {
        std::memcpy(
            info.pixels + static_cast<size_t>(y) * static_cast<size_t>(info.pitch),
            static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * static_cast<size_t>(argb->pitch),
            row_bytes);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return image;
}

image_t* picture_load(const char* file_name, std::string* why) {
    std::vector<uint8_t> bytes;
    if (file_name == nullptr) {
        *why = "no file name";
        return nullptr;
    }
    if (!read_regular_file(file_name, picture_max_file_bytes, &bytes, why)) return nullptr;
    return picture_decode(bytes.data(), bytes.size(), why);
}

}  // namespace rt
