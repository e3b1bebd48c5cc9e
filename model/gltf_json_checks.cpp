// The JSON checks ahead of tinygltf: a non-recursive walk for syntax and depth, and the picture views.
#include "model/gltf_json_checks.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Counts the open arrays and objects as the parser meets them; the parser keeps its own
// state in a vector, not on the stack.
struct depth_walker_t : nlohmann::json_sax<nlohmann::json> {
    uint64_t max_depth = 0;
    uint64_t depth = 0;
    bool too_deep = false;
    std::size_t error_position = 0;  // characters read when the syntax error was met
    std::string error_detail;

    bool open() {
        too_deep = ++depth > max_depth;
        return !too_deep;
    }
    bool start_object(std::size_t) override { return open(); }
    bool start_array(std::size_t) override { return open(); }
    bool end_object() override { return --depth, true; }
    bool end_array() override { return --depth, true; }
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool key(string_t&) override { return true; }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override {
        error_position = position;
        // The library's message reads "[json.exception...] parse error at ...: syntax error
        // while parsing value - invalid literal; ..."; the part after " - " says what.
        const std::string text = e.what();
        const size_t dash = text.find(" - ");
        error_detail = dash == std::string::npos ? std::string() : text.substr(dash + 3);
        return false;
    }
};

}  // namespace

std::string_view gltf_json_text(const char* bytes, size_t size, bool binary) {
    if (!binary) return {bytes, size};
    // Header: magic, version, length; then the first chunk's length and type.
    const auto word = [&](size_t at) {
        uint32_t value = 0;
        std::memcpy(&value, bytes + at, 4);
        return value;
    };
    if (size < 20 || word(16) != 0x4E4F534Au /* "JSON" */ || word(12) > size - 20) return {};
    return {bytes + 20, word(12)};
}

bool gltf_json_well_formed(std::string_view json_text, bool binary, uint64_t max_depth, std::string* why) {
    depth_walker_t walker;
    walker.max_depth = max_depth;
    if (nlohmann::json::sax_parse(json_text.begin(), json_text.end(), &walker)) return true;
    if (walker.too_deep) {
        *why = "JSON nested deeper than " + std::to_string(max_depth) + " arrays and objects";
        return false;
    }
    // The error lies at the last character read, or at the end of the text.
    const size_t at = std::min(walker.error_position > 0 ? walker.error_position - 1 : 0, json_text.size());
    std::string place;
    if (binary) {
        place = "byte " + std::to_string(20 + at);
    } else {
        const std::string_view before = json_text.substr(0, at);
        const size_t line_start = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
        place = "line " + std::to_string(1 + std::count(before.begin(), before.end(), '\n')) + ", column " +
                std::to_string(at - line_start + 1);
    }
    *why = "not valid JSON at " + place + (walker.error_detail.empty() ? "" : ": " + walker.error_detail);
    return false;
}

bool gltf_picture_views_within_buffers(std::string_view json_text, std::string* why) {
    const nlohmann::json root = nlohmann::json::parse(json_text.begin(), json_text.end(), nullptr, false);
    if (!root.is_object()) return true;
    const auto array = [&](const char* name) {
        const auto found = root.find(name);
        return found != root.end() && found->is_array() ? &*found : nullptr;
    };
    const nlohmann::json* images = array("images");
    const nlohmann::json* views = array("bufferViews");
    const nlohmann::json* buffers = array("buffers");
    if (images == nullptr || views == nullptr || buffers == nullptr) return true;
    // An element's number field, or `fallback` when it has none; NaN when it is not a number.
    const auto number = [](const nlohmann::json& object, const char* name, double fallback) {
        const auto found = object.find(name);
        if (found == object.end()) return fallback;
        return found->is_number() ? found->get<double>() : std::nan("");
    };
    const auto element = [](const nlohmann::json& list, double index) -> const nlohmann::json* {
        if (!(index >= 0.0 && index < static_cast<double>(list.size())) || index != std::floor(index)) return nullptr;
        const nlohmann::json& e = list[static_cast<size_t>(index)];
        return e.is_object() ? &e : nullptr;
    };
    for (const nlohmann::json& image : *images) {
        if (!image.is_object()) continue;
        const nlohmann::json* view = element(*views, number(image, "bufferView", -1.0));
        if (view == nullptr) continue;
        const nlohmann::json* buffer = element(*buffers, number(*view, "buffer", -1.0));
        if (buffer == nullptr) continue;
        const double offset = number(*view, "byteOffset", 0.0);
        const double length = number(*view, "byteLength", 0.0);
        const double size = number(*buffer, "byteLength", 0.0);
        // Every byte count in a file within the size limit is far below 2^53, so doubles are exact.
        // A view must start inside its buffer even when it is empty: its first byte is taken.
        if (!(offset >= 0.0 && length >= 0.0 && offset < size && length <= size - offset)) {
            *why = "an image's buffer view lies outside its buffer";
            return false;
        }
    }
    return true;
}
