// The help panel: a dark box with the keys and mouse actions in white.
#include "viewer/help_panel.h"

#include <algorithm>

#include "base/font.h"
#include "base/graphics_screen.h"
#include "base/text.h"

namespace {

constexpr uint32_t panel_colour = 0xFF202028;  // opaque, so the panel looks the same over any scene
constexpr int64_t panel_left = 8;
constexpr int64_t panel_top = 16;  // below the statistics line
constexpr int64_t padding = 6;
constexpr int64_t line_height = base::font_cell_height + 2;

}  // namespace

const std::vector<std::string_view>& help_panel_lines() {
    static const std::vector<std::string_view> lines = {
        "Keys and mouse",
        "",
        "Left drag, arrows   orbit (pauses the turn)",
        "Right/middle drag   pan",
        "Wheel, + and -      zoom",
        "R, double click     back to the starting view",
        "Space               pause or resume the turn",
        "T W C K             texture, wireframe, cull, clip",
        "F12                 write a numbered picture",
        "H, F1               show or hide this help",
        "Escape              quit",
    };
    return lines;
}

void draw_help_panel(uint8_t* pixels, uint32_t width, uint32_t height) {
    const auto& lines = help_panel_lines();
    size_t longest = 0;
    for (const std::string_view line : lines) longest = std::max(longest, line.size());
    const int64_t box_width = static_cast<int64_t>(longest) * base::font_cell_width + 2 * padding;
    const int64_t box_height = static_cast<int64_t>(lines.size()) * line_height + 2 * padding - 2;
    base::fill_box_on(pixels, width, height, false, static_cast<float>(panel_left), static_cast<float>(panel_top),
                      static_cast<float>(panel_left + box_width - 1), static_cast<float>(panel_top + box_height - 1),
                      panel_colour);
    int64_t top = panel_top + padding;
    for (const std::string_view line : lines) {
        base::draw_text(pixels, width, height, panel_left + padding, top, line);
        top += line_height;
    }
}
