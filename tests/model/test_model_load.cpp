// Loading OBJ and glTF models: values as the files give them, centring, normals, v flip, and every refused input.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model/model_load.h"
#include "model/model_texture.h"
#include "model_files.h"

namespace {

// Standard base64 of raw bytes, for glTF data URIs.
std::string base64(const std::string& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t n = 0;
        for (size_t k = i; k < i + 3; ++k) n = n << 8 | (k < bytes.size() ? static_cast<uint8_t>(bytes[k]) : 0u);
        for (size_t k = 0; k < 4; ++k) out += k <= bytes.size() - i ? digits[(n >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

template <class T>
std::string raw(const std::vector<T>& values) {
    return std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}

// A glTF file with one buffer (positions, then texture coordinates, then 16-bit indices) in a
// data URI, one node with the given translation, and the given extra mesh text.
std::string gltf_text(const std::vector<float>& positions, const std::vector<float>& texcoords,
                      const std::vector<uint16_t>& indices, const std::string& translation = "[0, 0, 0]",
                      int index_count_override = -1) {
    const std::string buffer = raw(positions) + raw(texcoords) + raw(indices);
    const size_t p = positions.size() * 4, t = texcoords.size() * 4, i = indices.size() * 2;
    const int index_count = index_count_override >= 0 ? index_count_override : static_cast<int>(indices.size());
    return R"({"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}],
      "nodes": [{"mesh": 0, "translation": )" +
           translation + R"(}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 1}, "indices": 2, "material": 0}]}],
      "materials": [{"pbrMetallicRoughness": {"baseColorFactor": [0.25, 0.5, 1.0, 0.5]}}],
      "buffers": [{"byteLength": )" +
           std::to_string(buffer.size()) + R"(, "uri": "data:application/octet-stream;base64,)" + base64(buffer) +
           R"("}],
      "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": )" +
           std::to_string(p) + R"(}, {"buffer": 0, "byteOffset": )" + std::to_string(p) + R"(, "byteLength": )" +
           std::to_string(t) + R"(}, {"buffer": 0, "byteOffset": )" + std::to_string(p + t) + R"(, "byteLength": )" +
           std::to_string(i) + R"(}],
      "accessors": [
        {"bufferView": 0, "componentType": 5126, "count": )" +
           std::to_string(positions.size() / 3) + R"(, "type": "VEC3"},
        {"bufferView": 1, "componentType": 5126, "count": )" +
           std::to_string(texcoords.size() / 2) + R"(, "type": "VEC2"},
        {"bufferView": 2, "componentType": 5123, "count": )" +
           std::to_string(index_count) + R"(, "type": "SCALAR"}]})";
}

}  // namespace

TEST(ModelLoad, ObjIsCentredScaledAndFlippedWithMaterialColoursAndComputedNormals) {
    scratch_folder_t folder;
    folder.write("quad.mtl", "newmtl blue\nKd 0.25 0.5 1\nd 0.5\nmap_Kd pictures/quad.png\n");
    // A 4 x 1 quad in the plane z = 10, and a triangle without a material sticking out in z.
    const std::string path = folder.write("quad.obj",
                                          "mtllib quad.mtl\n"
                                          "v 2 0 10\nv 6 0 10\nv 6 1 10\nv 2 1 10\nv 2 0 12\n"
                                          "vt 0 0\nvt 1 0\nvt 1 0.25\nvt 0 1\n"
                                          "usemtl blue\nf 1/1 2/2 3/3 4/4\n"
                                          "usemtl\nf 1 5 4\n");
    model_t model;
    std::string error;
    ASSERT_TRUE(load_model(path, &model, &error)) << error;
    ASSERT_EQ(model.triangle_count(), 3u);
    // The quad becomes a fan around its first corner; the plain triangle's corners are new vertices.
    EXPECT_EQ(model.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6}));
    ASSERT_EQ(model.vertex_count(), 7u);
    // Box x 2..6, y 0..1, z 10..12: centre (4, 0.5, 11), largest half-extent 2.
    expect_vec(model.positions[0], -1.0f, -0.25f, -0.5f, 1.0f);
    expect_vec(model.positions[2], 1.0f, 0.25f, -0.5f, 1.0f);
    expect_vec(model.positions[5], -1.0f, -0.25f, 0.5f, 1.0f);
    // v flipped: the picture's bottom row (v 0 in the file) is the texture's last row.
    expect_vec(model.texcoords[0], 0.0f, 1.0f, 0.0f, 0.0f);
    expect_vec(model.texcoords[2], 1.0f, 0.75f, 0.0f, 0.0f);
    expect_vec(model.texcoords[3], 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(model.has_texcoords);
    expect_vec(model.colours[1], 0.25f, 0.5f, 1.0f, 0.5f);
    expect_vec(model.colours[4], 0.8f, 0.8f, 0.8f, 1.0f);  // no material
    EXPECT_EQ(model.texture_path, folder.path("pictures/quad.png"));

    // Normals: the quad faces +z; corner 0 of the plain triangle (the quad's first corner at
    // another material, so another vertex) faces -x; every sum normalised.
    EXPECT_FALSE(model.has_normals);
    expect_vec(model.normals[1], 0.0f, 0.0f, 1.0f, 0.0f);
    expect_vec(model.normals[4], -1.0f, 0.0f, 0.0f, 0.0f);
}

TEST(ModelLoad, NormalsAreWeightedByTriangleArea) {
    scratch_folder_t folder;
    // Two triangles share vertex 1 at the origin: one of area 2 facing +z, one of area 0.5 facing +x.
    const std::string path = folder.write("hinge.obj",
                                          "v 2 0 0\nv 0 0 0\nv 0 2 0\nv 0 0 1\nv 0 1 0\n"
                                          "f 1 3 2\nf 2 5 4\n");
    model_t model;
    std::string error;
    ASSERT_TRUE(load_model(path, &model, &error)) << error;
    // Box 0..2 x 0..2 x 0..1: half-extent 1, so the cross products keep their size: (0, 0, 4)
    // for the first triangle (twice its area 2) and (1, 0, 0) for the second. Vertices are
    // numbered by first use: the shared origin is model vertex 2.
    const double length = std::sqrt(1.0 + 4.0 * 4.0);
    expect_vec(model.normals[2], static_cast<float>(1.0 / length), 0.0f, static_cast<float>(4.0 / length), 0.0f);
    expect_vec(model.normals[0], 0.0f, 0.0f, 1.0f, 0.0f);
    expect_vec(model.normals[3], 1.0f, 0.0f, 0.0f, 0.0f);
}

// Lines ended by a lone '\r', an index counting back from the last position read, and a face
// referring to a position and a normal that come after it.
TEST(ModelLoad, ObjNormalsAndIndicesAsExportersWriteThem) {
    scratch_folder_t folder;
    const std::string path = folder.write("n.obj", "v 0 0 0\rv 1 0 0\r  f 1//1 -1//1 3//1\rv 0 1 0\rvn 0 0.6 0.8\r");
    model_t model;
    std::string error;
    ASSERT_TRUE(load_model(path, &model, &error)) << error;
    EXPECT_TRUE(model.has_normals);
    EXPECT_FALSE(model.has_texcoords);
    ASSERT_EQ(model.vertex_count(), 3u);
    EXPECT_EQ(model.indices, (std::vector<uint32_t>{0, 1, 2}));
    expect_vec(model.positions[1], 1.0f, -1.0f, 0.0f, 1.0f);
    for (const vec4_t& n : model.normals) expect_vec(n, 0.0f, 0.6f, 0.8f, 0.0f);
}

TEST(ModelLoad, GltfKeepsVPlacesThePrimitiveByItsNodeAndKeepsTheFrontFaceWhenMirrored) {
    scratch_folder_t folder;
    const std::string placed = gltf_text({0, 0, 0, 4, 0, 0, 0, 2, 0}, {0, 0, 1, 0, 0, 0.25f}, {0, 1, 2}, "[10, 0, 0]");
    std::string mirrored = placed;
    const std::string translation = R"("translation": [10, 0, 0])";
    mirrored.replace(mirrored.find(translation), translation.size(), R"("scale": [-1, 1, 1])");
    model_t model, mirror;
    std::string error;
    ASSERT_TRUE(load_model(folder.write("tri.gltf", placed), &model, &error)) << error;
    ASSERT_TRUE(load_model(folder.write("mirrored.gltf", mirrored), &mirror, &error)) << error;
    ASSERT_EQ(model.triangle_count(), 1u);
    EXPECT_EQ(model.indices, (std::vector<uint32_t>{0, 1, 2}));
    // Translated to x 10..14 and centred again: the node's translation moves nothing in the end.
    expect_vec(model.positions[0], -1.0f, -0.5f, 0.0f, 1.0f);
    expect_vec(model.positions[1], 1.0f, -0.5f, 0.0f, 1.0f);
    expect_vec(model.positions[2], -1.0f, 0.5f, 0.0f, 1.0f);
    expect_vec(model.texcoords[2], 0.0f, 0.25f, 0.0f, 0.0f);  // not flipped
    expect_vec(model.colours[0], 0.25f, 0.5f, 1.0f, 0.5f);
    expect_vec(model.normals[0], 0.0f, 0.0f, 1.0f, 0.0f);  // computed: counter-clockwise faces +z
    EXPECT_TRUE(model.has_texcoords);
    // Mirrored in x, and the corners swapped so the face still points to +z.
    EXPECT_EQ(mirror.indices, (std::vector<uint32_t>{0, 2, 1}));
    expect_vec(mirror.positions[1], -1.0f, -0.5f, 0.0f, 1.0f);
    expect_vec(mirror.normals[0], 0.0f, 0.0f, 1.0f, 0.0f);
}

TEST(ModelLoad, RefusesBadInputWithOneLineNamingTheFile) {
    scratch_folder_t folder;
    // A unit triangle in OBJ and in glTF (corners, texture coordinates).
    const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const std::vector<float> unit{0, 0, 0, 1, 0, 0, 0, 1, 0}, uv{0, 0, 1, 0, 0, 1};
    const std::string good_gltf = gltf_text(unit, uv, {0, 1, 2});
    std::string outside = good_gltf;  // an accessor reaching past its buffer view
    outside.replace(outside.find("\"count\": 3, \"type\": \"VEC3\""), 26, "\"count\": 4, \"type\": \"VEC3\"");
    // A picture in a fourth buffer view; the first three views hold the 66 bytes of buffer 0.
    const auto picture_view = [&](const std::string& offset, const std::string& length) {
        std::string text = good_gltf;
        text.replace(text.find("}],\n      \"accessors\""), 3,
                     R"(}, {"buffer": 0, "byteOffset": )" + offset + R"(, "byteLength": )" + length +
                         R"(}], "images": [{"bufferView": 3, "mimeType": "image/png"}],)");
        return text;
    };
    const std::string inf_position =
        gltf_text({0, 0, 0, 1, 0, 0, 0, std::numeric_limits<float>::infinity(), 0}, uv, {0, 1, 2});
    const std::string view_outside = "an image's buffer view lies outside its buffer";
    std::filesystem::create_directories(folder.path("folder.obj"));
    model_limits_t small;
    small.max_triangles = 2;
    model_limits_t few_vertices;
    few_vertices.max_vertices = 2;
    model_limits_t tiny_file;
    tiny_file.max_file_bytes = 10;

    struct case_t {
        const char* name;
        std::string file;
        std::string contents;  // empty: the file is not written
        std::string expected;  // part of the message after "<path>: "
        model_limits_t limits;
    };
    const case_t cases[] = {
        {"missing file", "missing.obj", "", "no such file", {}},
        {"a folder", "folder.obj", "", "is a directory", {}},
        {"unknown ending", "model.stl", "solid", "unknown model format", {}},
        {"zero index", "zero.obj", tri + "f 0 1 2\n", "does not exist", {}},
        {"index beyond the vertices", "far.obj", tri + "f 1 2 4\n", "does not exist", {}},
        {"relative index before the first", "before.obj", tri + "f -4 1 2\n", "does not exist", {}},
        {"two corners", "line.obj", tri + "f 1 2 3\nf 1 2\n", "fewer than three corners", {}},
        {"no corners", "bare.obj", tri + "f 1 2 3\r\nf \r\n", "fewer than three corners", {}},
        {"more positions than the vertex limit", "many.obj", tri + "f 1 2 3\n", "too large: more than 2 positions",
         few_vertices},
        {"infinite coordinate", "inf.obj", "v 0 0 0\nv 1e999 0 0\nv 0 1 0\nf 1 2 3\n", "not a finite number", {}},
        {"every vertex at one point", "point.obj", "v 1 2 3\nv 1 2 3\nv 1 2 3\nf 1 2 3\n", "zero extent", {}},
        {"no triangles", "empty.obj", "v 0 0 0\nv 1 0 0\n", "no triangles", {}},
        {"more triangles than the limit", "big.obj", tri + "v 1 1 0\nf 1 2 3 4 2\n",
         "too large: 3 triangles, at most 2", small},
        {"file beyond the size limit", "long.obj", "v 0 0 0\nv 1 0 0\n", "too large: 16 bytes, at most 10", tiny_file},
        {"malformed JSON",
         "bad.gltf",
         "{\"asset\": {\"version\": \"2.0\"",
         "not valid JSON at line 1, column 28: unexpected end of input; expected '}'",
         {}},
        {"glTF index out of range", "far.gltf", gltf_text(unit, uv, {0, 1, 7}), "an index is out of range", {}},
        {"glTF accessor beyond its view", "outside.gltf", outside, "lies outside its buffer view", {}},
        {"glTF picture view past its buffer", "far-picture.gltf", picture_view("4000000000", "4"), view_outside, {}},
        {"glTF empty picture view at its buffer's end", "end-picture.gltf", picture_view("66", "0"), view_outside, {}},
        {"glTF picture view running past its buffer", "long-picture.gltf", picture_view("60", "7"), view_outside, {}},
        {"glTF infinite position", "inf.gltf", inf_position, "not a finite number", {}},
        {"glTF zero extent", "point.gltf", gltf_text({1, 1, 1, 1, 1, 1, 1, 1, 1}, uv, {0, 1, 2}), "zero extent", {}},
        {"glTF without triangles", "none.gltf", gltf_text(unit, uv, {0, 1, 2}, "[0, 0, 0]", 2), "no triangles", {}},
        {"glTF beyond the triangle limit", "big.gltf", gltf_text(unit, uv, {0, 1, 2, 0, 2, 1, 1, 2, 0}), "too large",
         small},
        {"not glTF at all", "text.glb", "hello", "", {}},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.contents.empty() ? folder.path(c.file) : folder.write(c.file, c.contents);
        model_t model;
        model.indices = {1, 2, 3};
        std::string error;
        EXPECT_FALSE(load_model(path, &model, &error, c.limits));
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(model.triangle_count(), 0u);  // nothing half-loaded is left behind
    }
}

// fuzz_model_obj's first finding: tinyobjloader converts a skin weight's joint number to int
// unchecked (undefined for 8.9e31). The streaming reader the loader now uses skips "vw" lines.
TEST(RegressionModelFuzz, ObjSkinWeightBeyondIntIsNeverConverted) {
    scratch_folder_t folder;
    const std::string path =
        folder.write("vw.obj",
                     "v -1 -88 0\nv 1 0 0\nv 0 1 0\nvw 0 0 8 1 88888882888888888888888888888888 1\n"
                     "\t vw 0 1e30 1\nf 1 2 3\n");
    model_t model;
    std::string error;
    ASSERT_TRUE(load_model(path, &model, &error)) << error;
    EXPECT_EQ(model.triangle_count(), 1u);
}

// fuzz_model_gltf's finding: tinygltf percent-decodes a buffer URI ("%tt" becomes a NUL, and
// others any byte), and the message naming the buffer then held a line break and a NUL, so it
// was neither one line nor printed whole. Names from a file are now shown with their control
// characters escaped; so is a picture's name with a line break written in the JSON.
TEST(RegressionModelFuzz, GltfNamesWithControlBytesStayOneLine) {
    scratch_folder_t folder;
    const std::string path = folder.write(
        "uri.gltf",
        R"({"asset": {"version": "2.0"}, "ne": [{"ghildren": {"baseColorFactorre": {"index2": 0}}}], )"
        R"("buffers": [{"byteLength": 124, "uri": "%ttexturaad%%AACCAYAAACC"}], "textures": [{"soure": 0}]})");
    model_t model;
    std::string error;
    EXPECT_FALSE(load_model(path, &model, &error));
    EXPECT_EQ(error.rfind(path + ": buffer ", 0), 0u) << error;
    EXPECT_EQ(error.find_first_of(std::string("\n\r\0", 3)), std::string::npos) << error;
    EXPECT_NE(error.find("\\x00"), std::string::npos) << error;

    model.texture_path = folder.path("line\nbreak.png");
    std::string warning;
    EXPECT_EQ(load_model_texture(model, "", &warning), nullptr);
    EXPECT_EQ(warning, "warning: texture " + folder.path("line\\x0abreak.png") + ": no such file; drawing without it");
}
