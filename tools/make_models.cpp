// make_models: writes the example models, a textured torus (OBJ, MTL, PNG) and a small house (glTF, BIN, PNG).
//
// Usage: make_models [output folder]   (default: the current folder)
//
// torus.obj: 32 x 16 quads around a ring in the x-y plane, with normals and texture
// coordinates (the picture repeats twice around the ring); torus.mtl names torus.png, a
// checker of warm and cool cells whose top row carries a white stripe, so a flipped v shows.
// house.gltf: one mesh of three primitives: the walls (a box), the roof (a red prism) and the
// door (a brown fan) on the front, the +z side. All three sample one picture, house.png: bricks
// with two windows in its left three quarters, roof tiles and door planks in its right quarter.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/screenshot.h"

namespace {

bool write_text(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

// A picture as blue, green, red, alpha bytes, filled by texel(x, y) returning 0xRRGGBB.
template <class Texel>
bool write_png(const std::string& path, uint32_t width, uint32_t height, Texel texel) {
    std::vector<uint8_t> bgra;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = texel(x, y);
            bgra.insert(bgra.end(), {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                     static_cast<uint8_t>(rgb >> 16), 255});
        }
    }
    std::string why;
    if (rt::write_picture(path, bgra.data(), width, height, &why)) return true;
    std::fprintf(stderr, "make_models: %s\n", why.c_str());
    return false;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", std::fabs(v) < 5e-5 ? 0.0 : v);
    return text;
}

bool write_torus(const std::string& folder) {
    constexpr int around = 32;  // segments around the ring
    constexpr int across = 16;  // segments around the tube
    constexpr double ring = 1.0;
    constexpr double tube = 0.4;
    constexpr double pi = 3.14159265358979323846;
    std::string obj = "# torus: made by tools/make_models\nmtllib torus.mtl\n";
    std::string vt, vn;
    for (int i = 0; i <= around; ++i) {
        const double theta = 2.0 * pi * i / around;
        for (int j = 0; j <= across; ++j) {
            const double phi = 2.0 * pi * j / across;
            const double radius = ring + tube * std::cos(phi);
            obj += "v " + number(radius * std::cos(theta)) + " " + number(radius * std::sin(theta)) + " " +
                   number(tube * std::sin(phi)) + "\n";
            vn += "vn " + number(std::cos(phi) * std::cos(theta)) + " " + number(std::cos(phi) * std::sin(theta)) +
                  " " + number(std::sin(phi)) + "\n";
            vt += "vt " + number(2.0 * i / around) + " " + number(static_cast<double>(j) / across) + "\n";
        }
    }
    obj += vt + vn + "usemtl checker\n";
    // Corners counter-clockwise seen from outside: along the ring, then along the tube.
    const auto corner = [](int i, int j) {
        const std::string n = std::to_string(i * (across + 1) + j + 1);
        return n + "/" + n + "/" + n;
    };
    for (int i = 0; i < around; ++i) {
        for (int j = 0; j < across; ++j) {
            obj += "f " + corner(i, j) + " " + corner(i + 1, j) + " " + corner(i + 1, j + 1) + " " + corner(i, j + 1) +
                   "\n";
        }
    }
    const std::string mtl = "# made by tools/make_models\nnewmtl checker\nKd 1 0.85 0.6\nd 1\nmap_Kd torus.png\n";
    const auto checker = [](uint32_t x, uint32_t y) -> uint32_t {
        if (y < 4) return 0xFFFFFF;  // the picture's top row: a white stripe
        return ((x / 16 + y / 16) % 2 == 0) ? 0xE8702A : 0x2A6CD0;
    };
    return write_text(folder + "/torus.obj", obj) && write_text(folder + "/torus.mtl", mtl) &&
           write_png(folder + "/torus.png", 128, 64, checker);
}

// One primitive's vertex arrays and triangle corners, as glTF lays them out.
struct primitive_data_t {
    std::vector<float> positions, normals, texcoords;
    std::vector<uint16_t> indices;

    void vertex(float x, float y, float z, float nx, float ny, float nz, float u = 0, float v = 0) {
        positions.insert(positions.end(), {x, y, z});
        normals.insert(normals.end(), {nx, ny, nz});
        texcoords.insert(texcoords.end(), {u, v});
    }
    uint16_t count() const { return static_cast<uint16_t>(positions.size() / 3); }
};

// Parts of house.png, as (u, v) of the top-left corner and the size; v = 0 is the top row.
struct picture_part_t {
    float u, v, width, height;
};
constexpr picture_part_t bricks_part{0.0f, 0.0f, 0.75f, 0.75f};
constexpr picture_part_t roof_part{0.75f, 0.0f, 0.25f, 0.5f};
constexpr picture_part_t door_part{0.75f, 0.5f, 0.25f, 0.5f};

// A face of four corners given counter-clockwise from outside (bottom left first), with the
// picture part on it.
void quad(primitive_data_t& p, const float (&c)[4][3], float nx, float ny, float nz, const picture_part_t& part) {
    const uint16_t first = p.count();
    const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (int k = 0; k < 4; ++k) {
        p.vertex(c[k][0], c[k][1], c[k][2], nx, ny, nz, part.u + uv[k][0] * part.width,
                 part.v + uv[k][1] * part.height);
    }
    p.indices.insert(p.indices.end(), {first, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(first + 2), first,
                                       static_cast<uint16_t>(first + 2), static_cast<uint16_t>(first + 3)});
}

bool write_house(const std::string& folder) {
    constexpr float w = 1.0f, bottom = -1.0f, eaves = 0.2f, top = 0.95f, d = 0.7f;
    primitive_data_t walls, roof, door;
    quad(walls, {{-w, bottom, d}, {w, bottom, d}, {w, eaves, d}, {-w, eaves, d}}, 0, 0, 1, bricks_part);
    quad(walls, {{w, bottom, -d}, {-w, bottom, -d}, {-w, eaves, -d}, {w, eaves, -d}}, 0, 0, -1, bricks_part);
    quad(walls, {{w, bottom, d}, {w, bottom, -d}, {w, eaves, -d}, {w, eaves, d}}, 1, 0, 0, bricks_part);
    quad(walls, {{-w, bottom, -d}, {-w, bottom, d}, {-w, eaves, d}, {-w, eaves, -d}}, -1, 0, 0, bricks_part);
    quad(walls, {{-w, bottom, -d}, {w, bottom, -d}, {w, bottom, d}, {-w, bottom, d}}, 0, -1, 0, bricks_part);
    // The roof: two slopes and two gables; slopes' normals lean outwards.
    const float ny = d / std::hypot(d, top - eaves), nz = (top - eaves) / std::hypot(d, top - eaves);
    quad(roof, {{-w - 0.1f, eaves, d + 0.1f}, {w + 0.1f, eaves, d + 0.1f}, {w + 0.1f, top, 0}, {-w - 0.1f, top, 0}}, 0,
         ny, nz, roof_part);
    quad(roof, {{w + 0.1f, eaves, -d - 0.1f}, {-w - 0.1f, eaves, -d - 0.1f}, {-w - 0.1f, top, 0}, {w + 0.1f, top, 0}},
         0, ny, -nz, roof_part);
    for (const float side : {1.0f, -1.0f}) {
        const uint16_t first = roof.count();
        roof.vertex(side * w, eaves, side * d, side, 0, 0, roof_part.u, 0.45f);
        roof.vertex(side * w, eaves, -side * d, side, 0, 0, 0.99f, 0.45f);
        roof.vertex(side * w, top, 0, side, 0, 0, 0.875f, 0.05f);
        roof.indices.insert(roof.indices.end(),
                            {first, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(first + 2)});
    }
    // The door: a fan around its centre, just in front of the front wall.
    const float z = d + 0.01f;
    const auto door_vertex = [&](float x, float y) {
        door.vertex(x, y, z, 0, 0, 1, door_part.u + (x + 0.22f) / 0.44f * door_part.width * 0.98f,
                    door_part.v + (-0.3f - y) / 0.7f * door_part.height * 0.98f);
    };
    door_vertex(0.0f, -0.65f);
    const float door_corners[5][2] = {
        {-0.22f, -1.0f}, {0.22f, -1.0f}, {0.22f, -0.3f}, {-0.22f, -0.3f}, {-0.22f, -1.0f}};
    for (const auto& c : door_corners) door_vertex(c[0], c[1]);
    for (uint16_t k = 0; k < 6; ++k) door.indices.push_back(k);

    // One buffer: for each primitive its positions, normals, texture coordinates, then all indices.
    std::string bin, views, accessors, primitives;
    int view = 0;
    const auto add_view = [&](const void* data, size_t bytes, int count, const char* type, int component,
                              const std::string& bounds) {
        while (bin.size() % 4 != 0) bin += '\0';
        if (!views.empty()) views += ",\n    ";
        views += "{\"buffer\": 0, \"byteOffset\": " + std::to_string(bin.size()) +
                 ", \"byteLength\": " + std::to_string(bytes) + "}";
        bin.append(static_cast<const char*>(data), bytes);
        if (!accessors.empty()) accessors += ",\n    ";
        accessors += "{\"bufferView\": " + std::to_string(view) + ", \"componentType\": " + std::to_string(component) +
                     ", \"count\": " + std::to_string(count) + ", \"type\": \"" + type + "\"" + bounds + "}";
        return view++;
    };
    const auto add_primitive = [&](const primitive_data_t& p, int material, int mode) {
        const int count = p.count();
        float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
        for (size_t i = 0; i < p.positions.size(); ++i) {
            low[i % 3] = std::fmin(low[i % 3], p.positions[i]);
            high[i % 3] = std::fmax(high[i % 3], p.positions[i]);
        }
        const std::string bounds = ", \"min\": [" + number(low[0]) + ", " + number(low[1]) + ", " + number(low[2]) +
                                   "], \"max\": [" + number(high[0]) + ", " + number(high[1]) + ", " + number(high[2]) +
                                   "]";
        const int position = add_view(p.positions.data(), p.positions.size() * 4, count, "VEC3", 5126, bounds);
        const int normal = add_view(p.normals.data(), p.normals.size() * 4, count, "VEC3", 5126, "");
        std::string attributes =
            "\"POSITION\": " + std::to_string(position) + ", \"NORMAL\": " + std::to_string(normal);
        {
            attributes += ", \"TEXCOORD_0\": " +
                          std::to_string(add_view(p.texcoords.data(), p.texcoords.size() * 4, count, "VEC2", 5126, ""));
        }
        const int indices =
            add_view(p.indices.data(), p.indices.size() * 2, static_cast<int>(p.indices.size()), "SCALAR", 5123, "");
        if (!primitives.empty()) primitives += ",\n        ";
        primitives += "{\"attributes\": {" + attributes + "}, \"indices\": " + std::to_string(indices) +
                      ", \"material\": " + std::to_string(material) + ", \"mode\": " + std::to_string(mode) + "}";
    };
    add_primitive(walls, 0, 4);
    add_primitive(roof, 1, 4);
    add_primitive(door, 2, 6);

    const std::string gltf = R"({
  "asset": {"version": "2.0", "generator": "softcube tools/make_models"},
  "scene": 0,
  "scenes": [{"nodes": [0]}],
  "nodes": [{"name": "house", "mesh": 0, "translation": [0, 0.1, 0]}],
  "meshes": [{"name": "house", "primitives": [
        )" + primitives + R"(]}],
  "materials": [
    {"name": "bricks", "pbrMetallicRoughness": {"baseColorFactor": [1, 1, 1, 1], "baseColorTexture": {"index": 0}}},
    {"name": "roof", "pbrMetallicRoughness": {"baseColorFactor": [0.8, 0.2, 0.15, 1]}},
    {"name": "door", "pbrMetallicRoughness": {"baseColorFactor": [0.45, 0.28, 0.12, 1]}}],
  "textures": [{"source": 0}],
  "images": [{"uri": "house.png"}],
  "buffers": [{"uri": "house.bin", "byteLength": )" +
                             std::to_string(bin.size()) + R"(}],
  "bufferViews": [
    )" + views + R"(],
  "accessors": [
    )" + accessors + R"(]
}
)";
    const auto picture = [](uint32_t x, uint32_t y) -> uint32_t {
        if (x >= 48 && y < 32) return y % 6 == 0 ? 0x801810 : 0xC8321E;     // roof tiles
        if (x >= 48) return (x % 5 == 0 || y == 48) ? 0x3C220C : 0x784818;  // door planks
        const bool window = y >= 12 && y < 27 && ((x >= 6 && x < 18) || (x >= 30 && x < 42));
        if (window) return (x == 12 || x == 36 || y == 19) ? 0xF0F0F0 : 0x5AA0E6;
        const uint32_t row = y / 8;
        const bool mortar = y % 8 == 0 || (x + (row % 2) * 8) % 16 == 0;
        return mortar ? 0xD8D0C0 : 0xB4502D;
    };
    return write_text(folder + "/house.bin", bin) && write_text(folder + "/house.gltf", gltf) &&
           write_png(folder + "/house.png", 64, 64, picture);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: make_models [output folder]\n");
        return 2;
    }
    const std::string folder = argc == 2 ? argv[1] : ".";
    if (!write_torus(folder) || !write_house(folder)) {
        std::fprintf(stderr, "make_models: cannot write the models into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
