// Image buffers and BMP loading: our own header checks in front of SDL2's BMP decoder.
#include "runtime/image.h"

#include <SDL.h>

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "runtime/regular_file.h"

namespace rt {

struct image_t {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    uint8_t* pixels = nullptr;  // owned
};

image_t* image_create(int32_t width, int32_t height, uint32_t fill_colour, int bits_per_pixel) {
    if (bits_per_pixel != 32) return nullptr;
    if (width < 1 || height < 1 || width > image_max_side || height > image_max_side) return nullptr;
    const size_t pitch = static_cast<size_t>(width) * 4;
    const size_t size = pitch * static_cast<size_t>(height);
    auto* image = new (std::nothrow) image_t;
    if (image == nullptr) return nullptr;
    image->pixels = new (std::nothrow) uint8_t[size];
    if (image->pixels == nullptr) {
        delete image;
        return nullptr;
    }
    image->width = width;
    image->height = height;
    image->pitch = static_cast<int32_t>(pitch);
    const uint8_t texel[4] = {static_cast<uint8_t>(fill_colour), static_cast<uint8_t>(fill_colour >> 8),
                              static_cast<uint8_t>(fill_colour >> 16), static_cast<uint8_t>(fill_colour >> 24)};
    if (fill_colour == 0) {
        std::memset(image->pixels, 0, size);
    } else {
        for (size_t i = 0; i < size; i += 4) std::memcpy(image->pixels + i, texel, 4);
    }
    return image;
}

image_info_t image_query(const image_t* image) {
    image_info_t info;
    if (image == nullptr) return info;
    info.width = image->width;
    info.height = image->height;
    info.bytes_per_pixel = 4;
    info.pitch = image->pitch;
    info.pixels = image->pixels;
    info.size = static_cast<int64_t>(image->pitch) * image->height;
    return info;
}

void image_destroy(image_t* image) {
    if (image == nullptr) return;
    delete[] image->pixels;
    delete image;
}

namespace {

constexpr uint32_t bi_rgb = 0;
constexpr uint32_t bi_bitfields = 3;
constexpr size_t file_header_size = 14;
constexpr size_t largest_info_header = 124;  // BITMAPV5HEADER
// Headers, three separate bit-field masks and the largest palette: everything the decoder
// looks at before the pixel rows.
constexpr size_t largest_head = file_header_size + largest_info_header + 12 + 256 * 4;

// Where a checked file keeps its pixels and how far SDL will read.
struct bmp_layout_t {
    int32_t width = 0;
    int32_t height = 0;     // as stored: negative for top-down rows
    uint64_t data_end = 0;  // offset just past the last pixel row
};

uint32_t le16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

// Checks every header field the decoder relies on against the file's length, so that
// the decoder never meets a palette, mask or row that lies past the end of the file and
// never sizes a surface from a declared dimension beyond image_max_side. head holds the
// file's first bytes (up to largest_head of them).
bool check_bmp_layout(const uint8_t* head, size_t head_length, uint64_t file_length, bmp_layout_t* layout) {
    if (head_length < file_header_size + 40 || head[0] != 'B' || head[1] != 'M') return false;
    const uint32_t data_offset = le32(head + 10);
    const uint32_t info_size = le32(head + 14);
    if (info_size != 40 && info_size != 52 && info_size != 56 && info_size != 108 && info_size != 124) {
        return false;
    }
    if (head_length < file_header_size + info_size) return false;
    const int32_t width = static_cast<int32_t>(le32(head + 18));
    const int32_t height = static_cast<int32_t>(le32(head + 22));
    const uint32_t planes = le16(head + 26);
    const uint32_t bit_count = le16(head + 28);
    const uint32_t compression = le32(head + 30);
    const uint32_t colours_used = le32(head + 46);

    if (width < 1 || width > image_max_side) return false;
    if (height == 0 || height < -image_max_side || height > image_max_side) return false;
    if (planes != 1) return false;
    if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 16 && bit_count != 24 && bit_count != 32) {
        return false;
    }
    if (compression != bi_rgb && !(compression == bi_bitfields && (bit_count == 16 || bit_count == 32))) {
        return false;
    }

    uint64_t tables_end = file_header_size + info_size;
    // A plain 40-byte header keeps its three masks right after it.
    if (compression == bi_bitfields && info_size == 40) tables_end += 12;
    if (bit_count <= 8) {
        const uint32_t most = 1u << bit_count;
        const uint32_t colours = colours_used == 0 ? most : colours_used;
        if (colours > most) return false;
        tables_end += static_cast<uint64_t>(colours) * 4;
    }
    if (tables_end > head_length) return false;
    if (data_offset < tables_end) return false;

    const int64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    const uint64_t row_bytes = (static_cast<uint64_t>(width) * bit_count + 31) / 32 * 4;
    const uint64_t data_end = data_offset + row_bytes * static_cast<uint64_t>(rows);
    if (data_end > file_length || data_end > static_cast<uint64_t>(INT_MAX)) return false;

    layout->width = width;
    layout->height = height;
    layout->data_end = data_end;
    return true;
}

// An open regular file with its length and first bytes read; closes itself.
struct bmp_file_t {
    regular_file_t file;
    uint8_t head[largest_head] = {};
    size_t head_length = 0;

    // No size limit: check() places every byte read within the declared rows, and those within
    // image_max_side.
    explicit bmp_file_t(const char* file_name) : file(file_name != nullptr ? file_name : "", UINT64_MAX) {
        if (file.ok())
            head_length = read_at(0, head, static_cast<size_t>(std::min<uint64_t>(file.size(), largest_head)));
    }
    bool check(bmp_layout_t* layout) const {
        return file.ok() && check_bmp_layout(head, head_length, file.size(), layout);
    }
    // The file's bytes up to end, which check() has placed within the file.
    bool read_to(uint64_t end, std::vector<uint8_t>* bytes) {
        try {
            bytes->resize(static_cast<size_t>(end));
        } catch (const std::bad_alloc&) {
            return false;
        }
        const size_t from_head = std::min(head_length, bytes->size());
        std::memcpy(bytes->data(), head, from_head);
        const size_t rest = bytes->size() - from_head;
        return read_at(from_head, bytes->data() + from_head, rest) == rest;
    }
    // Up to count bytes from the offset; fewer only at the file's end or on an error.
    size_t read_at(size_t offset, uint8_t* to, size_t count) const {
        size_t filled = 0;
        while (filled < count) {
            const ssize_t got =
                pread(file.descriptor(), to + filled, count - filled, static_cast<off_t>(offset + filled));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            filled += static_cast<size_t>(got);
        }
        return filled;
    }
};

// Decodes bytes that check_bmp_layout has accepted for the image's size into the image.
bool decode_checked_bmp(const uint8_t* bytes, size_t size, image_t* image) {
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (source == nullptr) return false;
    SDL_Surface* decoded = SDL_LoadBMP_RW(source, 1);
    if (decoded == nullptr) return false;
    if (decoded->w != image->width || decoded->h != image->height) {
        SDL_FreeSurface(decoded);
        return false;
    }
    // Conversion copies alpha as it is and gives formats without alpha the value 255.
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(decoded);
    if (argb == nullptr) return false;
    bool ok = argb->w == image->width && argb->h == image->height && argb->pitch >= image->width * 4;
    if (ok && SDL_LockSurface(argb) == 0) {
        const auto* from = static_cast<const uint8_t*>(argb->pixels);
        const size_t row_bytes = static_cast<size_t>(image->width) * 4;
        for (int32_t y = 0; y < image->height; ++y) {
            std::memcpy(image->pixels + static_cast<size_t>(y) * static_cast<size_t>(image->pitch),
                        from + static_cast<size_t>(y) * static_cast<size_t>(argb->pitch), row_bytes);
        }
        SDL_UnlockSurface(argb);
    } else {
        ok = false;
    }
    SDL_FreeSurface(argb);
    return ok;
}

}  // namespace

bool bmp_probe(const char* file_name, int32_t* width, int32_t* height) {
    bmp_file_t file(file_name);
    bmp_layout_t layout;
    if (!file.check(&layout)) return false;
    if (width != nullptr) *width = layout.width;
    if (height != nullptr) *height = layout.height;
    return true;
}

bool bmp_load(const char* file_name, image_t* image) {
    if (image == nullptr) return false;
    std::vector<uint8_t> bytes;
    {
        bmp_file_t file(file_name);
        bmp_layout_t layout;
        if (!file.check(&layout)) return false;
        const int32_t rows = layout.height < 0 ? -layout.height : layout.height;
        if (layout.width != image->width || rows != image->height) return false;
        // SDL decodes from this in-memory copy, so it cannot read past what was checked
        // even if the file changes underneath.
        if (!file.read_to(layout.data_end, &bytes)) return false;
    }
    return decode_checked_bmp(bytes.data(), bytes.size(), image);
}

bool bmp_size(const uint8_t* bytes, size_t size, int32_t* width, int32_t* height) {
    bmp_layout_t layout;
    if (bytes == nullptr || !check_bmp_layout(bytes, std::min(size, largest_head), size, &layout)) return false;
    *width = layout.width;
    *height = layout.height < 0 ? -layout.height : layout.height;
    return true;
}

image_t* bmp_decode(const uint8_t* bytes, size_t size) {
    bmp_layout_t layout;
    if (bytes == nullptr || !check_bmp_layout(bytes, std::min(size, largest_head), size, &layout)) return nullptr;
    image_t* image = image_create(layout.width, layout.height < 0 ? -layout.height : layout.height, 0, 32);
    if (image == nullptr) return nullptr;
    if (!decode_checked_bmp(bytes, static_cast<size_t>(layout.data_end), image)) {
        image_destroy(image);
        return nullptr;
    }
    return image;
}

}  // namespace rt
