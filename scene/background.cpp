// Backgrounds: their names and notations, and the transparent picture composed from two renders.
#include "scene/background.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace {

struct named_background_t {
    std::string_view name;
    background_t background;
};

constexpr std::array<named_background_t, 4> named_backgrounds = {{
    {"demo", {0, 0, 16, false}},
    {"black", {0, 0, 0, false}},
    {"white", {255, 255, 255, false}},
    {"grey", {128, 128, 128, false}},
}};

std::optional<uint8_t> channel(std::string_view text, int base) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc{} || stop != end || value > 255) return std::nullopt;
    return static_cast<uint8_t>(value);
}

}  // namespace

std::optional<background_t> parse_background(std::string_view text) {
    if (text == "transparent") return background_t{0, 0, 0, true};
    for (const named_background_t& named : named_backgrounds) {
        if (text == named.name) return named.background;
    }
    if (text.size() == 7 && text[0] == '#') {
        const auto r = channel(text.substr(1, 2), 16), g = channel(text.substr(3, 2), 16),
                   b = channel(text.substr(5, 2), 16);
        if (r && g && b) return background_t{*r, *g, *b, false};
        return std::nullopt;
    }
    const size_t first = text.find(',');
    const size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const auto r = channel(text.substr(0, first), 10), g = channel(text.substr(first + 1, second - first - 1), 10),
               b = channel(text.substr(second + 1), 10);
    if (r && g && b) return background_t{*r, *g, *b, false};
    return std::nullopt;
}

std::string background_text(const background_t& background) {
    if (background.transparent) return "transparent";
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", background.red, background.green, background.blue);
    return text;
}

void compose_transparent(const uint8_t* over_black, const uint8_t* over_white, size_t pixels, uint8_t* out) {
    for (size_t i = 0; i < pixels * 4; i += 4) {
        int through = 0;  // three times the background's share, in bytes
        for (int c = 0; c < 3; ++c) through += std::max(0, over_white[i + c] - over_black[i + c]);
        const int alpha = 255 - (through + 1) / 3;
        for (int c = 0; c < 3; ++c) {
            out[i + c] =
                alpha == 0 ? 0 : static_cast<uint8_t>(std::min(255, (over_black[i + c] * 255 + alpha / 2) / alpha));
        }
        out[i + 3] = static_cast<uint8_t>(alpha);
    }
}
