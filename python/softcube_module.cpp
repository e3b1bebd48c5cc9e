// The compiled module softcube._softcube: the library's models, renderers and thread pools for Python, pictures as
// NumPy arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "python/numpy_arrays.h"
#include "python/render_keywords.h"
#include "softcube/softcube.h"

namespace py = pybind11;

namespace {

// A model and the file it came from, for its repr.
struct python_model {
    softcube::model model;
    std::string source;  // the file name as the operating system's bytes; empty: made from arrays
};

// A C++ renderer serves one thread at a time; Python threads sharing one take turns here
// rather than being asked to know.
struct python_renderer {
    explicit python_renderer(softcube::renderer r) : renderer(std::move(r)) {}
    softcube::renderer renderer;
    std::mutex busy;
};

// The options the render functions take, for their docstrings; a Renderer's own threads draw its pictures.
std::string text_of(const char* head, bool threads) {
    return std::string(head) +
           "\nKeyword options, each as in softcube::render_options (angles in degrees):\n"
           "width, height (16 to 16384; 800 x 600), azimuth, elevation (-89 to 89), zoom (0.01 to 100),\n"
           "frame (the demo's turn of frame N; 0), background ((r, g, b) opaque or (r, g, b, a), 0 to 255;\n"
           "(0, 0, 16)), opacity (0 to 1; 0.75), textured (True), wireframe, cull, clip, overlay (False),\n"
           "edges ('automatic', 'spans' or 'watertight'), ssaa (0: automatic, or 1 to 4), filter ('automatic',\n"
           "'nearest', 'linear' or 'trilinear'; automatic: watertight, 2 and linear for a model, the demo's\n"
           "picture for the cube), lines (False, True or 'over', 'only'), light_azimuth, light_elevation (0, 0)" +
           (threads ? ",\nthreads (0: every core)." : ".") +
           "\nReturns a (height, width, 4) uint8 array of red, green, blue and alpha, rows from the top.";
}

std::string type_name(py::handle value) { return Py_TYPE(value.ptr())->tp_name; }

bool is_file_name(py::handle value) {
    return PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()) || py::hasattr(value, "__fspath__");
}

// str, bytes or os.PathLike, as the bytes the operating system is given.
std::string file_name(py::handle path) {
    std::string name = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
    if (name.find('\0') != std::string::npos) throw py::value_error("embedded null byte in the file name");
    return name;
}

void check_threads(int threads) {
    if (threads < 0) throw py::value_error("threads must be 0 (one per core) or more, not " + std::to_string(threads));
}

python_model load(const py::object& path) {
    python_model m;
    m.source = file_name(path);
    py::gil_scoped_release unlocked;
    m.model = softcube::load_model(m.source);
    return m;
}

python_model make(const py::object& positions, const py::object& indices, const py::object& colours,
                  const py::object& normals, const py::object& uvs, const py::object& texture) {
    const softcube::mesh_arrays arrays =
        softcube_python::mesh_arrays_from(positions, indices, colours, normals, uvs, texture);
    python_model m;
    try {
        py::gil_scoped_release unlocked;
        m.model = softcube::make_model(arrays);
    } catch (const softcube::error& e) {
        throw py::value_error(e.what());  // whatever make_model refuses is the arrays' fault
    }
    return m;
}

py::array_t<std::uint8_t> render_model(const softcube::model& m, const softcube::render_options& options) {
    softcube::image picture;
    {
        py::gil_scoped_release unlocked;
        picture = softcube::render(m, options);
    }
    return softcube_python::image_array(std::move(picture));
}

// The file name as Python shows it (undecodable bytes escaped as os.fsdecode does).
py::str repr_of(const python_model& m) {
    const py::object source = m.source.empty()
                                  ? py::str("arrays")
                                  : py::repr(py::reinterpret_steal<py::str>(PyUnicode_DecodeFSDefaultAndSize(
                                        m.source.data(), static_cast<Py_ssize_t>(m.source.size()))));
    const auto count = [](std::size_t n, const char* one, const char* more) {
        return std::to_string(n) + " " + (n == 1 ? one : more);
    };
    return py::str("<softcube.Model from {}: {}, {}{}>")
        .format(source, count(m.model.vertex_count(), "vertex", "vertices"),
                count(m.model.triangle_count(), "triangle", "triangles"), m.model.has_texture() ? ", textured" : "");
}

}  // namespace

PYBIND11_MODULE(_softcube, m) {
    m.doc() = "softcube's library, compiled: import softcube, not this.";
    m.attr("__version__") = softcube::version();

    // softcube::error as softcube.Error. The type lives as long as the process: the translator may
    // run until the interpreter's very end.
    static PyObject* const error_type = py::exception<softcube::error>(m, "Error", PyExc_RuntimeError).release().ptr();
    py::setattr(error_type, "__doc__",
                py::str("What the library refuses: an unreadable or malformed file, options out of range, a picture "
                        "too large for the memory. The message is one line."));
    py::register_local_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) std::rethrow_exception(thrown);
        } catch (const softcube::error& e) {
            // The message names files by their bytes; those that are not UTF-8 are shown escaped.
            const std::string what = e.what();
            const auto message = py::reinterpret_steal<py::object>(
                PyUnicode_DecodeUTF8(what.data(), static_cast<Py_ssize_t>(what.size()), "backslashreplace"));
            PyErr_SetObject(error_type, message.ptr());
        }
    });

    py::class_<python_model>(m, "Model",
                             "A model ready to render, from load_model or make_model; immutable, and may be rendered "
                             "from several threads at once.")
        .def_property_readonly("vertex_count", [](const python_model& self) { return self.model.vertex_count(); })
        .def_property_readonly("triangle_count", [](const python_model& self) { return self.model.triangle_count(); })
        .def_property_readonly(
            "has_texture", [](const python_model& self) { return self.model.has_texture(); },
            "A texture and texture coordinates: rendered textured.")
        .def("__repr__", &repr_of);

    py::class_<softcube::thread_pool>(m, "ThreadPool",
                                      "Worker threads for rendering, shared by the Renderers made with it: they take "
                                      "turns.")
        .def(py::init([](int threads) {
                 check_threads(threads);
                 return softcube::thread_pool(threads);
             }),
             py::arg("threads") = 0, "0: one thread per online core.")
        .def_property_readonly("size", &softcube::thread_pool::size)
        .def("__repr__", [](const softcube::thread_pool& self) {
            return "ThreadPool(threads=" + std::to_string(self.size()) + ")";
        });

    py::class_<python_renderer>(m, "Renderer",
                                "Renders with a thread pool of its own (threads=N, 0: every core) or a shared one "
                                "(pool=ThreadPool).")
        .def(py::init([](int threads) {
                 check_threads(threads);
                 return std::make_unique<python_renderer>(softcube::renderer(threads));
             }),
             py::arg("threads") = 0)
        .def(py::init([](const softcube::thread_pool& pool) {
                 return std::make_unique<python_renderer>(softcube::renderer(pool));
             }),
             py::kw_only(), py::arg("pool"))
        .def(
            "render",
            [](python_renderer& self, const python_model& model, const py::kwargs& keywords) {
                const auto options = softcube_python::render_options_from(keywords, "Renderer.render", false);
                softcube::image picture;
                {
                    py::gil_scoped_release unlocked;
                    const std::lock_guard<std::mutex> turn(self.busy);
                    picture = self.renderer.render(model.model, options);
                }
                return softcube_python::image_array(std::move(picture));
            },
            py::arg("model"), text_of("Renders the model with this renderer's threads.", false).c_str())
        .def(
            "render_cube",
            [](python_renderer& self, const py::kwargs& keywords) {
                const auto options = softcube_python::render_options_from(keywords, "Renderer.render_cube", false);
                softcube::image picture;
                {
                    py::gil_scoped_release unlocked;
                    const std::lock_guard<std::mutex> turn(self.busy);
                    picture = self.renderer.render_cube(options);
                }
                return softcube_python::image_array(std::move(picture));
            },
            text_of("The demo's cube at the options' frame, with this renderer's threads.", false).c_str());

    m.def("load_model", &load, py::arg("path"),
          "Reads an OBJ (with its .mtl and pictures), glTF or GLB file, chosen by the name's ending.");

    m.def("make_model", &make, py::arg("positions"), py::arg("indices"), py::arg("colours") = py::none(),
          py::arg("normals") = py::none(), py::arg("uvs") = py::none(), py::arg("texture") = py::none(),
          "A model from NumPy arrays (or lists): positions (N, 3), indices (M, 3) of vertex numbers, front faces\n"
          "counter-clockwise; optional colours (N, 3) or (N, 4) from 0 to 1, normals (N, 3), uvs (N, 2) with\n"
          "v = 0 at the texture's top, texture (H, W, 4) or (H, W, 3) uint8. ValueError for arrays that do not fit.");

    m.def(
        "render",
        [](const py::object& model_or_path, const py::kwargs& keywords) {
            const auto options = softcube_python::render_options_from(keywords, "render", true);
            if (py::isinstance<python_model>(model_or_path)) {
                return render_model(model_or_path.cast<const python_model&>().model, options);
            }
            if (!is_file_name(model_or_path)) {
                throw py::type_error("render() needs a Model or a file name, not " + type_name(model_or_path));
            }
            return render_model(load(model_or_path).model, options);
        },
        py::arg("model_or_path"), text_of("Renders a Model, or the model in a file.", true).c_str());

    m.def(
        "render_cube",
        [](const py::kwargs& keywords) {
            const auto options = softcube_python::render_options_from(keywords, "render_cube", true);
            softcube::image picture;
            {
                py::gil_scoped_release unlocked;
                picture = softcube::render_cube(options);
            }
            return softcube_python::image_array(std::move(picture));
        },
        text_of("The demo's cube (its own camera, colours and translucency) at the options' frame.", true).c_str());

    m.def(
        "render_mesh",
        [](const py::object& positions, const py::object& indices, const py::object& colours, const py::object& normals,
           const py::object& uvs, const py::object& texture, const py::kwargs& keywords) {
            const auto options = softcube_python::render_options_from(keywords, "render_mesh", true);
            return render_model(make(positions, indices, colours, normals, uvs, texture).model, options);
        },
        py::arg("positions"), py::arg("indices"), py::arg("colours") = py::none(), py::arg("normals") = py::none(),
        py::arg("uvs") = py::none(), py::arg("texture") = py::none(),
        text_of("render(make_model(positions, indices, ...), **options) in one call.", true).c_str());

    m.def(
        "save_png",
        [](const py::object& image, const py::object& path) {
            const softcube::image picture = softcube_python::image_from(image, "image");
            const std::string name = file_name(path);
            py::gil_scoped_release unlocked;
            softcube::save_png(picture, name);
        },
        py::arg("image"), py::arg("path"),
        "Writes an (H, W, 4) or (H, W, 3) uint8 array as a PNG file (RGB when every pixel is opaque); the file\n"
        "appears complete or not at all.");
}
