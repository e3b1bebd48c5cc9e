// softcube: render 3D models to pictures on the processor, bit for bit the same on every machine.
//
//     softcube::model m = softcube::load_model("file.glb");   // OBJ, glTF or GLB
//     softcube::render_options o;
//     o.width = 256;
//     o.height = 256;
//     o.azimuth = 30;
//     softcube::image img = softcube::render(m, o);           // RGBA, rows top down
//     softcube::save_png(img, "out.png");
//
// Everything here is offscreen: no display, no window system and no GPU is used or needed,
// and a program using it compiles against this header alone and links against the softcube
// library alone. Angles are in degrees. Errors are thrown as softcube::error, whose what() is
// one line naming the file and what is wrong.
//
// Threads: there is no global state. Functions and objects may be used from any number of
// threads at once, each renderer from one thread at a time; a thread_pool may be shared by
// several renderers, which then take turns using it. The same options give the same picture,
// byte for byte, whatever the number of threads, the processor's instruction set and the
// machine, and the same bits as the softcube program given the same options.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Marks what the shared library exports; everything else in it stays hidden.
#if defined(SOFTCUBE_BUILDING_LIBRARY)
#define SOFTCUBE_API __attribute__((visibility("default")))
#else
#define SOFTCUBE_API
#endif

namespace softcube {

// The library's version, "MAJOR.MINOR.PATCH", the same as `softcube --version` prints.
SOFTCUBE_API const char* version();

// What goes wrong: an unreadable or malformed file, arrays that do not fit together, a
// picture too large for the memory. what() is one line.
class SOFTCUBE_API error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture: width x height pixels of red, green, blue and alpha bytes, rows from the top.
struct image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes
};

namespace detail {
struct model_data;
struct pool_data;
}  // namespace detail

struct mesh_arrays;
struct render_options;
struct load_options;

// A model ready to render: loaded from a file or made from arrays, centred on its bounding
// box and scaled so that its largest half-extent is 1. Immutable and cheap to copy (copies
// share the data); may be rendered from several threads at once.
class SOFTCUBE_API model {
public:
    std::size_t vertex_count() const;
    std::size_t triangle_count() const;
    bool has_texture() const;  // a texture and texture coordinates: rendered textured
    // What loading left out, one line each, naming the file: a material library or texture
    // that could not be read (the model is then drawn without it), indices of normals that do
    // not exist (normals are then computed).
    const std::vector<std::string>& warnings() const;

private:
    friend SOFTCUBE_API model load_model(const std::string& path, const load_options& options);
    friend SOFTCUBE_API model make_model(const mesh_arrays& arrays);
    friend class renderer;
    friend SOFTCUBE_API void view(const model& m, const render_options& options);
    std::shared_ptr<const detail::model_data> data_;
};

// How files are read.
struct load_options {
    // Every file the model names (material libraries, buffers, pictures) must lie in the
    // model file's folder once symbolic links are followed: for files from elsewhere, such as
    // downloads, that must not read the rest of the disk. Otherwise they may lie anywhere.
    bool confine_to_model_folder = false;
    // A picture file (PNG, JPEG, TGA or BMP) that replaces the model's own texture; it may lie
    // anywhere. One that cannot be read is a warning, and the model's own texture is not used.
    std::string texture;
};

// Reads an OBJ (with the .mtl and pictures it names), glTF (with its buffers and pictures)
// or GLB file, chosen by the name's ending. Every file is read as a regular file within size
// limits (a FIFO or device is refused without waiting on it). Throws error.
SOFTCUBE_API model load_model(const std::string& path, const load_options& options = {});

// A mesh given as arrays, without files. Each array is flat, row after row:
struct mesh_arrays {
    std::vector<float> positions;        // x, y, z per vertex (required)
    std::vector<std::uint32_t> indices;  // three vertex numbers per triangle (required), front faces counter-clockwise
    std::vector<float> colours;          // r, g, b or r, g, b, a per vertex (0 to 1), or empty: light grey, opaque
    int colour_channels = 3;             // 3 or 4
    std::vector<float> normals;          // x, y, z per vertex, or empty: computed from the triangles
    std::vector<float> uvs;              // u, v per vertex (v = 0 at the texture's top), or empty
    // An RGBA texture, texture_width x texture_height pixels, rows from the top, or empty.
    std::vector<std::uint8_t> texture;
    int texture_width = 0;
    int texture_height = 0;
};

// Checks the arrays (lengths that fit together, indices within the vertices, finite numbers,
// colours from 0 to 1, a texture of the size given) and makes the model; throws error naming
// what is wrong.
SOFTCUBE_API model make_model(const mesh_arrays& arrays);

// Which pixels a triangle covers: the demo's spans (rows and columns by rounding, which leaves
// hairline cracks between triangles), or watertight (pixel centres inside the triangle, snapped
// to 1/256 pixel, ties by the top-left rule: triangles that share an edge cover each pixel
// along it exactly once). automatic: watertight for a model, the spans for the cube.
enum class edge_rule { automatic, spans, watertight };
// How textures are read: one texel as the demo addresses it, bilinear, or bilinear in the two
// mipmap levels of each pixel's footprint. automatic: linear for a model, nearest for the cube.
enum class texture_filter { automatic, nearest, linear, trilinear };
// Triangle edges drawn as lines: not, over the surfaces, or alone.
enum class line_mode { none, over, only };

// How a picture is rendered. The defaults draw the model unturned, fitted to the picture,
// seen from the front on the demo's dark blue, without the statistics line; a model with
// watertight edges, 2 x 2 samples per pixel and bilinear textures (the program's thumbnail
// look), the cube as the demo draws it.
struct render_options {
    int width = 800;  // 16 to 16384 each
    int height = 600;
    double azimuth = 0.0;     // degrees about the vertical axis; positive shows more of the right side
    double elevation = 0.0;   // degrees upwards, -89 to 89; positive looks down on the top
    double zoom = 1.0;        // 0.01 to 100; 1: the bounding sphere fills 90 % of the smaller side
    std::uint64_t frame = 0;  // the demo's turn of frame N (0: unturned)
    // Red, green, blue and alpha of what shows where nothing is drawn. Alpha 255: opaque;
    // alpha 0: transparent, the picture's alpha then being the surfaces' coverage; between,
    // the background is laid under the transparent picture with that alpha.
    std::array<std::uint8_t, 4> background = {0, 0, 16, 255};
    double opacity = 0.75;   // of opaque materials, 0 to 1 (1: fully opaque)
    bool textured = true;    // sample the model's texture, when it has one
    bool wireframe = false;  // only the two ends of each span
    bool cull = false;       // skip back faces
    bool clip = false;       // clip triangles to the view volume
    bool overlay = false;    // the statistics line at the top left
    int threads = 0;         // for render() and render_cube() (0: every core); a renderer has its own
    edge_rule edges = edge_rule::automatic;
    // Samples per pixel along each side, 1 to 4, averaged; 0 (automatic): 2 for a model (1 for
    // a side above 8192), 1 for the cube. Samples wider or taller than 16384 are refused.
    int ssaa = 0;
    texture_filter filter = texture_filter::automatic;
    line_mode lines = line_mode::none;
    // Where the light comes from, in degrees as the viewer of the unturned model sees it:
    // positive azimuth from the right, positive elevation (-90 to 90) from above; 0, 0 is the
    // demo's light from the viewer. It turns with the model, as the demo's does.
    double light_azimuth = 0.0;
    double light_elevation = 0.0;
};

// Worker threads for rendering, shared by as many renderers as wish: they take turns.
class SOFTCUBE_API thread_pool {
public:
    // 0: one thread per online core.
    explicit thread_pool(int threads = 0);
    int size() const;

private:
    friend class renderer;
    std::shared_ptr<detail::pool_data> data_;
};

// Renders pictures with a thread pool of its own or a shared one. One renderer is used from
// one thread at a time; use one per thread.
class SOFTCUBE_API renderer {
public:
    explicit renderer(int threads = 0);
    explicit renderer(thread_pool pool);

    image render(const model& m, const render_options& options = {});
    // The demo's cube (its own camera, colours and translucency) at the options' frame.
    image render_cube(const render_options& options = {});

private:
    thread_pool pool_;
};

// The same with a renderer made for the call, of the options' thread count.
SOFTCUBE_API image render(const model& m, const render_options& options = {});
SOFTCUBE_API image render_cube(const render_options& options = {});

// Writes the picture as an 8-bit RGBA PNG (RGB when every pixel is opaque); the file appears
// complete or not at all. Throws error.
SOFTCUBE_API void save_png(const image& picture, const std::string& path);

}  // namespace softcube
