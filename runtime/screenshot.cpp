// Framebuffer pictures written as PNG (libpng) or BMP, and the checks around them.
#include "runtime/screenshot.h"

#include <png.h>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/graphics_screen.h"
#include "runtime/bmp_writer.h"

namespace rt {
namespace {

bool ends_with_ci(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = s[s.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

std::string system_reason() { return std::strerror(errno); }

uint64_t random_bits() {
    uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits)) return bits;
    // No entropy yet (early boot): the clock and the process still make a name nobody can
    // have prepared in advance often enough to matter, and O_EXCL makes a clash a retry.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    static uint64_t counter = 0;
    return (static_cast<uint64_t>(now.tv_nsec) << 20) ^ static_cast<uint64_t>(now.tv_sec) ^
           (static_cast<uint64_t>(getpid()) << 40) ^ ++counter * 0x9E3779B97F4A7C15ull;
}

// A new file beside the target, for the picture to be written into and then renamed over the
// target: a random name in the target's folder, created exclusively and never through a
// symbolic link, so nothing planted at a name known in advance can redirect the write. Its
// permissions are a new file's (0666 less the umask). Returns the descriptor, or -1 with errno.
int create_beside(const std::string& path, std::string* temporary) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random_bits()));
        *temporary = path + suffix;
        const int descriptor = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

// One row in PNG's byte order: red, green, blue, and alpha when it is kept.
void bgra_row_to_png(const uint8_t* bgra, uint8_t* out, uint32_t width, bool keep_alpha) {
    const int channels = keep_alpha ? 4 : 3;
    for (uint32_t x = 0; x < width; ++x) {
        out[x * channels + 0] = bgra[x * 4 + 2];
        out[x * channels + 1] = bgra[x * 4 + 1];
        out[x * channels + 2] = bgra[x * 4 + 0];
        if (keep_alpha) out[x * channels + 3] = bgra[x * 4 + 3];
    }
}

// Only plain locals live across setjmp, so a longjmp out of libpng skips no destructor.
bool write_png_stream(std::FILE* file, const uint8_t* bgra, uint32_t width, uint32_t height, bool keep_alpha,
                      uint8_t* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, keep_alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; ++y) {
        bgra_row_to_png(bgra + static_cast<size_t>(y) * width * 4, row, width, keep_alpha);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

picture_format picture_format_of(const std::string& path) {
    if (ends_with_ci(path, ".png")) return picture_format::png;
    if (ends_with_ci(path, ".bmp")) return picture_format::bmp;
    return picture_format::none;
}

bool picture_path_usable(const std::string& path, std::string* why) {
    if (picture_format_of(path) == picture_format::none) {
        if (why) *why = "cannot write '" + path + "': the name must end in .png or .bmp";
        return false;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        if (why) *why = "cannot write '" + path + "': is a directory";
        return false;
    }
    // An existing file the user may not write stays as it is, though the folder would let
    // the rename replace it.
    if (lstat(path.c_str(), &info) == 0 && access(path.c_str(), W_OK) != 0 && errno == EACCES) {
        if (why) *why = "cannot write '" + path + "': " + system_reason();
        return false;
    }
    // The probe is the temporary file write_picture will make, made and removed again.
    std::string temporary;
    const int descriptor = create_beside(path, &temporary);
    if (descriptor < 0) {
        if (why) *why = "cannot write '" + path + "': " + system_reason();
        return false;
    }
    close(descriptor);
    unlink(temporary.c_str());
    return true;
}

bool write_picture(const std::string& path, const uint8_t* bgra, uint32_t width, uint32_t height, std::string* why,
                   const picture_options_t& options) {
    const picture_format format = options.format != picture_format::none ? options.format : picture_format_of(path);
    if (format == picture_format::none) {
        if (why) *why = "cannot write '" + path + "': the name must end in .png or .bmp";
        return false;
    }
    if (options.keep_alpha && format != picture_format::png) {
        if (why) *why = "cannot write '" + path + "': only PNG pictures keep their alpha";
        return false;
    }
    if (bgra == nullptr || width == 0 || height == 0 || width > base::screen_max_side ||
        height > base::screen_max_side) {
        if (why) *why = "cannot write '" + path + "': there is no picture to write";
        return false;
    }
    std::string temporary;
    const int descriptor = create_beside(path, &temporary);
    std::FILE* file = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
    if (file == nullptr) {
        if (why) *why = "cannot write '" + path + "': " + system_reason();
        if (descriptor >= 0) {
            close(descriptor);
            unlink(temporary.c_str());
        }
        return false;
    }
    bool ok;
    if (format == picture_format::png) {
        std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
        ok = write_png_stream(file, bgra, width, height, options.keep_alpha, row.data());
    } else {
        // The default layout: 24 bits, the plain 40-byte header, bottom row first.
        const std::vector<uint8_t> bytes = encode_bmp(bgra, width, height, bmp_layout_t{});
        ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    // On the disk before the rename, so the name never stands for a file that a crash empties.
    ok = std::fflush(file) == 0 && fsync(fileno(file)) == 0 && ok;
    const int error_after_write = errno;
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        errno = error_after_write;
        if (why) *why = "cannot write '" + path + "': " + (errno != 0 ? system_reason() : "write failed");
        unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (why) *why = "cannot write '" + path + "': " + system_reason();
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool save_screenshot(const std::string& path, std::string* why) {
    return write_picture(path, base::screen_framebuffer(), base::screen_width(), base::screen_height(), why);
}

std::string default_screenshot_path() {
    const std::string name = "softcube-last-frame.png";
    std::string why;
    if (picture_path_usable(name, &why)) return absolute_path(name);
    std::error_code ec;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec) return absolute_path(name);
    return (temp / name).string();
}

std::string absolute_path(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.string();
}

}  // namespace rt
