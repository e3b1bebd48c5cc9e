// Hostile model files: numbers that are not numbers, FIFOs and devices named as materials, buffers and pictures,
// JSON nested to exhaust the stack, missing normals, and references outside the model's folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "model/model_load.h"
#include "model/model_texture.h"
#include "model_files.h"

namespace {

const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

// A glTF file with one triangle whose buffer is the file `buffer` (36 bytes declared) and whose
// base-colour picture is the file `picture`; `extras` goes into the asset's extras as it stands.
std::string gltf_naming(const std::string& buffer, const std::string& picture, const std::string& extras = "0") {
    return R"({"asset": {"version": "2.0", "extras": )" + extras + R"(},
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "material": 0}]}],
      "materials": [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}],
      "textures": [{"source": 0}], "images": [{"uri": ")" +
           picture + R"("}],
      "buffers": [{"byteLength": 36, "uri": ")" +
           buffer + R"("}], "bufferViews": [{"buffer": 0, "byteLength": 36}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"}]})";
}

// The three corners of a unit triangle as a glTF buffer.
std::string triangle_buffer() {
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    return std::string(reinterpret_cast<const char*>(corners), sizeof corners);
}

// A .glb file around the JSON text: header, then the JSON chunk padded with spaces.
std::string glb_around(std::string json) {
    while (json.size() % 4 != 0) json += ' ';
    const auto word = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    return "glTF" + word(2) + word(static_cast<uint32_t>(20 + json.size())) + word(static_cast<uint32_t>(json.size())) +
           "JSON" + json;
}

std::string nested(size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

}  // namespace

// Each case writes its files into a fresh folder (the model in `inside/`, other files in
// `outside/` beside it), loads inside/<model>, and checks the outcome: the one error line, or
// the model drawn with exactly the warnings given ("@" stands for the fresh folder). FIFOs must
// be refused at once: opening one for reading would wait for a writer for ever.
TEST(ModelHostileFiles, EachIsRefusedOrDrawnWithOneWarningNeverHangs) {
    struct outcome_t {
        std::string error;                  // empty: loads
        std::vector<std::string> warnings;  // the model's own
        std::string texture_warning;        // load_model_texture's, "" for none
        std::function<void(const model_t&)> check;
    };
    const auto refused = [](const std::string& error) { return outcome_t{error, {}, "", nullptr}; };
    const auto drawn = [](const std::vector<std::string>& warnings, const std::string& texture_warning = "",
                          const std::function<void(const model_t&)>& check = nullptr) {
        return outcome_t{"", warnings, texture_warning, check};
    };
    struct case_t {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;  // contents "fifo" or "link:TARGET" make those
        std::string model;                                       // in inside/
        bool confined;
        outcome_t expected;
    };
    const auto colour_is = [](float red) {
        return [red](const model_t& m) {
            for (const vec4_t& c : m.colours) EXPECT_EQ(c.x, red);
        };
    };
    const auto naming_material = [](const std::string& library) {
        return "mtllib " + library + "\nusemtl red\n" + triangle + "f 1 2 3\n";
    };
    const std::string red = "newmtl red\nKd 0.25 0 0\n";
    const std::string grey = "; faces using its materials are drawn light grey";
    const std::string bad_v = "a vertex coordinate is missing or not a number";
    const std::string cube_without_normals =
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\n"
        "f 1//1 2//2 3//3 4//4\nf 1//5 2//6 5//7\nf 2//8 3//9 5//10\n";
    const std::string buffer = triangle_buffer();
    const std::string too_deep = ": JSON nested deeper than 512 arrays and objects";
    const std::string outside = ": lies outside the folder @inside/";
    const case_t cases[] = {
        // Numbers: refused with the line, whatever the line endings.
        {"v nan",
         {{"inside/a.obj", "v nan 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:1: " + bad_v)},
        {"v abc",
         {{"inside/a.obj", "v 0 0 0\nv abc 0 0\nv 0 1 0\nf 1 2 3\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:2: " + bad_v)},
        {"v abc 5 5",
         {{"inside/a.obj", "# a comment\r\n\r\nv abc 5 5\r\n" + triangle + "f 1 2 3\r\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:3: " + bad_v)},
        {"a missing coordinate",
         {{"inside/a.obj", "v 0 0 0\rv 1 0 0\rv 1 2\rf 1 2 3\r"}},
         "a.obj",
         false,
         refused("@inside/a.obj:3: " + bad_v)},
        {"a bare v",
         {{"inside/a.obj", triangle + "v\nf 1 2 4\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:4: " + bad_v)},
        {"a decimal comma",
         {{"inside/a.obj", triangle + "v 1,5 0 0\nf 1 2 3\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:4: " + bad_v)},
        {"vn with two numbers",
         {{"inside/a.obj", triangle + "vn 0 1\nf 1 2 3\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:4: a normal coordinate is missing or not a number")},
        {"vn inf",
         {{"inside/a.obj", triangle + "vn 0 inf 1\nf 1 2 3\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:4: a normal coordinate is missing or not a number")},
        {"vt without u",
         {{"inside/a.obj", triangle + "vt\t \nf 1 2 3\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:4: a texture coordinate is missing or not a number")},
        {"vt with a bad v",
         {{"inside/a.obj", triangle + "vt 0.5 x\nf 1 2 3\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj:4: a texture coordinate is missing or not a number")},
        {"what exporters write",
         {{"inside/a.obj",
           "v +1e-3 0 -.5 1\nv 1.5E+2 0. 0 # x\nv 0 1 0 0.5 0.5 0.5\nvt 0.5\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n"}},
         "a.obj",
         false,
         drawn({})},
        // Faces naming what does not exist: positions refused, normals and texture coordinates dropped.
        {"a position that does not exist",
         {{"inside/a.obj", triangle + "f 1 2 4\n"}},
         "a.obj",
         false,
         refused("@inside/a.obj: a face refers to a vertex that does not exist")},
        {"normals that do not exist",
         {{"inside/a.obj", cube_without_normals}},
         "a.obj",
         false,
         drawn(
             {"warning: @inside/a.obj: 10 face corners name normals that do not exist; drawing with computed normals"},
             "",
             [](const model_t& m) {
                 EXPECT_FALSE(m.has_normals);
                 EXPECT_EQ(m.vertex_count(), 5u);  // one vertex per position once the normals are gone
                 expect_vec(m.normals[3], 0.0f, 0.0f, 1.0f, 0.0f);
             })},
        {"a normal before the first",
         {{"inside/a.obj", triangle + "vn 0 0 1\nf 1//1 2//-2 3//1\n"}},
         "a.obj",
         false,
         drawn({"warning: @inside/a.obj: 1 face corner names a normal that does not exist; drawing with computed "
                "normals"})},
        {"texture coordinates that do not exist",
         {{"inside/a.obj", triangle + "vt 0 0\nf 1/1 2/2 3/3\n"}},
         "a.obj",
         false,
         drawn({"warning: @inside/a.obj: 2 face corners name texture coordinates that do not exist; drawing without "
                "texture coordinates"},
               "", [](const model_t& m) { EXPECT_FALSE(m.has_texcoords); })},
        // Material libraries that are not regular files: one warning, faces light grey.
        {"mtllib /dev/zero",
         {{"inside/a.obj", naming_material("/dev/zero")}},
         "a.obj",
         false,
         drawn({"warning: material library /dev/zero: not a regular file" + grey}, "", colour_is(0.8f))},
        {"mtllib a FIFO",
         {{"inside/a.obj", naming_material("m.mtl")}, {"inside/m.mtl", "fifo"}},
         "a.obj",
         false,
         drawn({"warning: material library @inside/m.mtl: not a regular file" + grey}, "", colour_is(0.8f))},
        {"two libraries missing, the third read",
         {{"inside/a.obj", "mtllib x.mtl\nmtllib y.mtl\nmtllib m.mtl\nusemtl red\n" + triangle + "f 1 2 3\n"},
          {"inside/m.mtl", red}},
         "a.obj",
         false,
         drawn({"warning: material library @inside/x.mtl: no such file (and 1 more left out)" + grey}, "",
               colour_is(0.25f))},
        {"map_Kd a FIFO",
         {{"inside/a.obj", "mtllib m.mtl\nusemtl red\n" + triangle + "vt 0 0\nf 1/1 2/1 3/1\n"},
          {"inside/m.mtl", red + "map_Kd p.png\n"},
          {"inside/p.png", "fifo"}},
         "a.obj",
         false,
         drawn({}, "warning: texture @inside/p.png: not a regular file; drawing without it")},
        {"more materials than the limit",
         {{"inside/a.obj", naming_material("m.mtl")}, {"inside/m.mtl", red + "newmtl a\nnewmtl b\nnewmtl c\n"}},
         "a.obj",
         false,
         drawn({"warning: material library @inside/m.mtl: too many materials: at most 4 more are accepted" + grey}, "",
               colour_is(0.8f))},
        // glTF: buffers and pictures that are FIFOs, buffer lengths, nesting, syntax.
        {"a buffer FIFO",
         {{"inside/a.gltf", gltf_naming("b.bin", "p.png")}, {"inside/b.bin", "fifo"}},
         "a.gltf",
         false,
         refused("@inside/a.gltf: buffer @inside/b.bin: not a regular file")},
        {"a picture FIFO",
         {{"inside/a.gltf", gltf_naming("b.bin", "p.png")}, {"inside/b.bin", buffer}, {"inside/p.png", "fifo"}},
         "a.gltf",
         false,
         drawn({}, "warning: texture @inside/p.png: not a regular file; drawing without it")},
        {"a buffer longer than declared",
         {{"inside/a.gltf", gltf_naming("b.bin", "p.png")}, {"inside/b.bin", std::string(1234, 'x')}},
         "a.gltf",
         false,
         refused("@inside/a.gltf: buffer @inside/b.bin: its length is not the byteLength the model gives")},
        {"20000 nested arrays",
         {{"inside/a.gltf", gltf_naming("b.bin", "p.png", nested(20000))}},
         "a.gltf",
         false,
         refused("@inside/a.gltf" + too_deep)},
        {"20000 nested arrays in a .glb",
         {{"inside/a.glb", glb_around(gltf_naming("b.bin", "p.png", nested(20000)))}},
         "a.glb",
         false,
         refused("@inside/a.glb" + too_deep)},
        // The document, the asset and 510 arrays make 512 levels; one more array is too many.
        {"512 levels",
         {{"inside/a.gltf", gltf_naming("b.bin", "p.png", nested(510))}, {"inside/b.bin", buffer}},
         "a.gltf",
         false,
         drawn({}, "warning: texture @inside/p.png: no such file; drawing without it")},
        {"513 levels",
         {{"inside/a.gltf", gltf_naming("b.bin", "p.png", nested(511))}},
         "a.gltf",
         false,
         refused("@inside/a.gltf" + too_deep)},
        {"a syntax error",
         {{"inside/a.gltf", "{\"asset\": {\"version\": \"2.0\"},\n  \"meshes\": [}"}},
         "a.gltf",
         false,
         refused("@inside/a.gltf: not valid JSON at line 2, column 14: unexpected '}'; expected '[', '{', or a "
                 "literal")},
        {"a syntax error in a .glb",
         {{"inside/a.glb", glb_around("{\"asset\": tru}")}},
         "a.glb",
         false,
         refused("@inside/a.glb: not valid JSON at byte 33: invalid literal; last read: '\"asset\": tru}'")},
        {"a FIFO as the model",
         {{"inside/a.obj", "fifo"}},
         "a.obj",
         false,
         refused("@inside/a.obj: not a regular file")},
        {"a folder as the model",
         {{"inside/models/x", ""}},
         "models",
         false,
         refused("@inside/models: is a directory")},
        // References outside the model's folder: refused when confined, taken otherwise.
        {"a material outside, confined",
         {{"inside/a.obj", naming_material("../outside/m.mtl")}, {"outside/m.mtl", red}},
         "a.obj",
         true,
         drawn({"warning: material library @inside/../outside/m.mtl" + outside + grey}, "", colour_is(0.8f))},
        {"a material outside, not confined",
         {{"inside/a.obj", naming_material("../outside/m.mtl")}, {"outside/m.mtl", red}},
         "a.obj",
         false,
         drawn({}, "", colour_is(0.25f))},
        {"a missing material outside, confined: nothing told but the place",
         {{"inside/a.obj", naming_material("../outside/none.mtl")}},
         "a.obj",
         true,
         drawn({"warning: material library @inside/../outside/none.mtl" + outside + grey})},
        {"a material by its absolute name, confined",
         {{"inside/a.obj", naming_material("@outside/m.mtl")}, {"outside/m.mtl", red}},
         "a.obj",
         true,
         drawn({"warning: material library @outside/m.mtl" + outside + grey}, "", colour_is(0.8f))},
        {"a link inside to a material outside, confined",
         {{"inside/a.obj", naming_material("m.mtl")},
          {"outside/m.mtl", red},
          {"inside/m.mtl", "link:../outside/m.mtl"}},
         "a.obj",
         true,
         drawn({"warning: material library @inside/m.mtl" + outside + grey}, "", colour_is(0.8f))},
        {"a material inside, confined",
         {{"inside/a.obj", naming_material("m.mtl")}, {"inside/m.mtl", red}},
         "a.obj",
         true,
         drawn({}, "", colour_is(0.25f))},
        {"a picture outside, confined",
         {{"inside/a.obj", naming_material("m.mtl")},
          {"inside/m.mtl", red + "map_Kd ../outside/p.png\n"},
          {"outside/p.png", "not a picture"}},
         "a.obj",
         true,
         drawn({}, "warning: texture @inside/../outside/p.png" + outside + "; drawing without it")},
        {"a picture outside, not confined",
         {{"inside/a.obj", naming_material("m.mtl")},
          {"inside/m.mtl", red + "map_Kd ../outside/p.png\n"},
          {"outside/p.png", "not a picture"}},
         "a.obj",
         false,
         drawn({},
               "warning: texture @inside/../outside/p.png: not a BMP, PNG, JPEG or TGA picture; drawing without "
               "it")},
        {"a buffer outside, confined",
         {{"inside/a.gltf", gltf_naming("../outside/b.bin", "p.png")}, {"outside/b.bin", buffer}},
         "a.gltf",
         true,
         refused("@inside/a.gltf: buffer @inside/../outside/b.bin" + outside)},
        {"a glTF picture outside, confined",
         {{"inside/a.gltf", gltf_naming("b.bin", "../outside/p.png")},
          {"inside/b.bin", buffer},
          {"outside/p.png", "fifo"}},
         "a.gltf",
         true,
         drawn({}, "warning: texture @inside/../outside/p.png" + outside + "; drawing without it")},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        scratch_folder_t folder;
        const std::string root = folder.path("");
        const outcome_t& expected = c.expected;
        const auto placed = [&](std::string text) {
            for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + root.size())) {
                text.replace(at, 1, root);
            }
            return text;
        };
        std::filesystem::create_directories(folder.path("inside"));
        for (const auto& [name, written] : c.files) {
            const std::string contents = placed(written);
            std::filesystem::create_directories(std::filesystem::path(folder.path(name)).parent_path());
            if (contents == "fifo") {
                ASSERT_EQ(mkfifo(folder.path(name).c_str(), 0600), 0);
            } else if (contents.rfind("link:", 0) == 0) {
                std::filesystem::create_symlink(contents.substr(5), folder.path(name));
            } else {
                folder.write(name, contents);
            }
        }
        model_limits_t limits;
        limits.confine_to_model_folder = c.confined;
        limits.max_materials = 4;
        model_t model;
        std::string error;
        const bool loaded = load_model(folder.path("inside/" + c.model), &model, &error, limits);
        if (!expected.error.empty()) {
            EXPECT_FALSE(loaded);
            EXPECT_EQ(error, placed(expected.error));
            continue;
        }
        ASSERT_TRUE(loaded) << error;
        std::vector<std::string> warnings;
        for (const std::string& w : expected.warnings) warnings.push_back(placed(w));
        EXPECT_EQ(model.warnings, warnings);
        std::string texture_warning;
        load_model_texture(model, "", &texture_warning);
        EXPECT_EQ(texture_warning, placed(expected.texture_warning));
        if (expected.check) expected.check(model);
    }
}

// A file a model names may be anything readable on the disk: what a message says about it is
// its name and the reason, never its size (which would tell a stranger's model about the
// user's files). The model file itself is the user's own, and its size is told.
TEST(ModelHostileFiles, MessagesTellNothingAboutNamedFilesButTheirNameAndReason) {
    scratch_folder_t folder;
    folder.write("b.bin", std::string(12345, 'x'));
    std::string error;
    model_t model;
    ASSERT_FALSE(load_model(folder.write("a.gltf", gltf_naming("b.bin", "p.png")), &model, &error));
    EXPECT_EQ(error.find("12345"), std::string::npos) << error;
    model_limits_t small;
    small.max_file_bytes = 600;  // more than the model file, less than its buffer
    folder.write("b.bin", std::string(777, 'x'));
    ASSERT_FALSE(load_model(folder.path("a.gltf"), &model, &error, small));
    EXPECT_EQ(error.find("777"), std::string::npos) << error;
    EXPECT_NE(error.find("b.bin: too large: at most 600 bytes are accepted"), std::string::npos) << error;
    // A picture's declared size stays untold too.
    std::string huge("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0", 29);
    model.texture_path = folder.write("huge.png", huge);
    std::string warning;
    EXPECT_EQ(load_model_texture(model, "", &warning), nullptr);
    EXPECT_EQ(warning.find("100000"), std::string::npos) << warning;
    // The model file's own size is fine to tell.
    folder.write("big.obj", std::string(650, ' '));
    ASSERT_FALSE(load_model(folder.path("big.obj"), &model, &error, small));
    EXPECT_NE(error.find("too large: 650 bytes, at most 600 are accepted"), std::string::npos) << error;
}
