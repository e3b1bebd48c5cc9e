// NumPy arrays checked and copied into the library's mesh arrays and images, and images handed to NumPy.
#include "python/numpy_arrays.h"

#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace py = pybind11;

namespace softcube_python {
namespace {

std::string shape_text(const py::array& a) {
    std::string text = "(";
    for (py::ssize_t d = 0; d < a.ndim(); ++d) text += (d > 0 ? ", " : "") + std::to_string(a.shape(d));
    return text + (a.ndim() == 1 ? ",)" : ")");
}

// The value as a NumPy array (lists become arrays) whose numbers are of one of the kinds:
// 'f' floating point, 'i' signed and 'u' unsigned integers.
py::array numeric_array(py::handle value, const std::string& name, const char* kinds, const char* what) {
    const py::array a = py::array::ensure(value);
    if (!a) throw py::value_error(name + " must be an array of " + what);
    if (std::strchr(kinds, a.dtype().kind()) == nullptr) {
        throw py::value_error(name + " must hold " + what + ", not " + py::str(a.dtype()).cast<std::string>());
    }
    return a;
}

struct rows_t {
    std::vector<float> values;  // row after row
    py::ssize_t rows = 0;
    py::ssize_t width = 0;
};

// A 2-dimensional array of real numbers as float32: `rows` rows (any number when negative) of
// one of the widths.
rows_t real_rows(py::handle value, const std::string& name, py::ssize_t rows,
                 std::initializer_list<py::ssize_t> widths) {
    const py::array a = numeric_array(value, name, "fiu", "real numbers");
    bool fits = false;
    std::string wanted;
    for (const py::ssize_t w : widths) {
        fits = fits || (a.ndim() == 2 && a.shape(1) == w && (rows < 0 || a.shape(0) == rows));
        wanted += (wanted.empty() ? "(" : " or (") + (rows < 0 ? std::string("N") : std::to_string(rows)) + ", " +
                  std::to_string(w) + ")";
    }
    if (!fits) throw py::value_error(name + " must have shape " + wanted + ", not " + shape_text(a));
    const py::array_t<float, py::array::c_style | py::array::forcecast> floats(a);
    rows_t out;
    out.values.assign(floats.data(), floats.data() + floats.size());
    out.rows = a.shape(0);
    out.width = a.shape(1);
    return out;
}

template <typename T>
std::vector<std::uint32_t> vertex_numbers(const py::array& a, std::size_t vertices) {
    const py::array_t<T, py::array::c_style | py::array::forcecast> numbers(a);
    const T* v = numbers.data();
    std::vector<std::uint32_t> out(static_cast<std::size_t>(numbers.size()));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::string where = "indices[" + std::to_string(i / 3) + ", " + std::to_string(i % 3) + "] is ";
        if constexpr (std::is_signed_v<T>) {
            if (v[i] < 0) throw py::value_error(where + std::to_string(v[i]) + ": vertex numbers start at 0");
        }
        if (static_cast<unsigned long long>(v[i]) >= vertices) {
            throw py::value_error(where + std::to_string(v[i]) + ", but there are only " + std::to_string(vertices) +
                                  " vertices");
        }
        out[i] = static_cast<std::uint32_t>(v[i]);
    }
    return out;
}

std::vector<std::uint32_t> index_rows(py::handle value, std::size_t vertices) {
    const py::array a = numeric_array(value, "indices", "iu", "integers");
    if (a.ndim() != 2 || a.shape(1) != 3) {
        throw py::value_error("indices must have shape (M, 3), not " + shape_text(a));
    }
    return a.dtype().kind() == 'u' ? vertex_numbers<unsigned long long>(a, vertices)
                                   : vertex_numbers<long long>(a, vertices);
}

}  // namespace

softcube::mesh_arrays mesh_arrays_from(py::handle positions, py::handle indices, py::handle colours, py::handle normals,
                                       py::handle uvs, py::handle texture) {
    softcube::mesh_arrays arrays;
    rows_t vertices = real_rows(positions, "positions", -1, {3});
    arrays.positions = std::move(vertices.values);
    const py::ssize_t n = vertices.rows;
    arrays.indices = index_rows(indices, static_cast<std::size_t>(n));
    if (!colours.is_none()) {
        rows_t c = real_rows(colours, "colours", n, {3, 4});
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            if (!(c.values[i] >= 0.0f && c.values[i] <= 1.0f)) {
                const std::size_t width = static_cast<std::size_t>(c.width);
                throw py::value_error("colours[" + std::to_string(i / width) + ", " + std::to_string(i % width) +
                                      "] is " + py::str(py::float_(c.values[i])).cast<std::string>() +
                                      ": colours are 0 to 1");
            }
        }
        arrays.colours = std::move(c.values);
        arrays.colour_channels = static_cast<int>(c.width);
    }
    if (!normals.is_none()) arrays.normals = real_rows(normals, "normals", n, {3}).values;
    if (!uvs.is_none()) arrays.uvs = real_rows(uvs, "uvs", n, {2}).values;
    if (!texture.is_none()) {
        softcube::image picture = image_from(texture, "texture");
        arrays.texture = std::move(picture.pixels);
        arrays.texture_width = picture.width;
        arrays.texture_height = picture.height;
    }
    return arrays;
}

py::array_t<std::uint8_t> image_array(softcube::image&& picture) {
    auto pixels = std::make_unique<std::vector<std::uint8_t>>(std::move(picture.pixels));
    std::uint8_t* data = pixels->data();
    const py::capsule owner(pixels.get(), [](void* p) { delete static_cast<std::vector<std::uint8_t>*>(p); });
    pixels.release();  // the capsule's now
    return py::array_t<std::uint8_t>({py::ssize_t{picture.height}, py::ssize_t{picture.width}, py::ssize_t{4}}, data,
                                     owner);
}

softcube::image image_from(py::handle value, const char* name) {
    const py::array a = numeric_array(value, name, "u", "uint8 values (0 to 255)");
    if (a.itemsize() != 1) {
        throw py::value_error(std::string(name) + " must hold uint8 values (0 to 255), not " +
                              py::str(a.dtype()).cast<std::string>());
    }
    constexpr py::ssize_t side_max = std::numeric_limits<int>::max();
    if (a.ndim() != 3 || (a.shape(2) != 3 && a.shape(2) != 4) || a.shape(0) < 1 || a.shape(1) < 1 ||
        a.shape(0) > side_max || a.shape(1) > side_max) {
        throw py::value_error(std::string(name) + " must have shape (H, W, 4) or (H, W, 3), H and W at least 1, not " +
                              shape_text(a));
    }
    const py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast> bytes(a);
    softcube::image picture;
    picture.height = static_cast<int>(a.shape(0));
    picture.width = static_cast<int>(a.shape(1));
    const std::size_t pixels = std::size_t(picture.width) * std::size_t(picture.height);
    const std::uint8_t* in = bytes.data();
    if (a.shape(2) == 4) {
        picture.pixels.assign(in, in + pixels * 4);
        return picture;
    }
    picture.pixels.resize(pixels * 4);
    for (std::size_t i = 0; i < pixels; ++i) {
        std::memcpy(&picture.pixels[i * 4], in + i * 3, 3);
        picture.pixels[i * 4 + 3] = 255;
    }
    return picture;
}

}  // namespace softcube_python
