// background_t: what the picture shows where nothing is drawn, a colour or nothing at all, and the transparent picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct background_t {
    uint8_t red = 0;  // the demo's dark blue
    uint8_t green = 0;
    uint8_t blue = 16;
    // Nothing at all: the picture's alpha is 0 where nothing was drawn (see compose_transparent).
    bool transparent = false;
};

// "#rrggbb", "r,g,b" (each 0 to 255), "transparent", or a name: "demo" (the demo's dark
// blue), "black", "white", "grey". Nothing for anything else.
std::optional<background_t> parse_background(std::string_view text);

// The background as the user writes it.
std::string background_text(const background_t& background);

// A transparent picture from the same frame drawn twice, over black and over white. How much of the background a pixel
// lets through is the difference between the two, the same share of white as of black: the alpha byte is 255 minus that
// difference (averaged over the three channels), 0 where nothing was drawn, 255 where opaque
// surfaces hide the background, in between under translucent ones. The colour is the
// picture over black divided by that alpha (straight, not premultiplied, as PNG keeps it).
// All three buffers hold `pixels` pixels of blue, green, red, alpha; out may be over_black.
void compose_transparent(const uint8_t* over_black, const uint8_t* over_white, size_t pixels, uint8_t* out);
