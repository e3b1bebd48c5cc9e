// Keyword arguments to softcube::render_options: each value's type checked, each name known.
#include "python/render_keywords.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace py = pybind11;

namespace softcube_python {
namespace {

std::string type_name(py::handle value) { return Py_TYPE(value.ptr())->tp_name; }

// An integer (int, NumPy's integers; not bool, float or str) from low to high.
long long whole_number(const std::string& name, py::handle value, long long low, long long high) {
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr())) {
        throw py::type_error(name + " must be an integer, not " + type_name(value));
    }
    const auto number = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    if (!number) throw py::error_already_set();
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
    if (v == -1 && PyErr_Occurred()) throw py::error_already_set();
    if (overflow != 0 || v < low || v > high) {
        throw py::value_error(name + " must be " + std::to_string(low) + " to " + std::to_string(high) + ", not " +
                              py::str(number).cast<std::string>());
    }
    return v;
}

double real_number(const std::string& name, py::handle value) {
    if (PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr())) {
        throw py::type_error(name + " must be a number, not " + type_name(value));
    }
    const double v = PyFloat_AsDouble(value.ptr());
    if (v == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        throw py::type_error(name + " must be a number, not " + type_name(value));
    }
    return v;
}

bool switch_value(const std::string& name, py::handle value) {
    try {
        return value.cast<bool>();
    } catch (const py::cast_error&) {
        throw py::type_error(name + " must be True or False, not " + type_name(value));
    }
}

std::array<std::uint8_t, 4> background_colour(py::handle value) {
    if (PyUnicode_Check(value.ptr()) || !PySequence_Check(value.ptr())) {
        throw py::type_error("background must be a tuple of red, green, blue and optionally alpha, not " +
                             type_name(value));
    }
    const auto values = py::reinterpret_borrow<py::sequence>(value);
    const size_t count = values.size();
    if (count != 3 && count != 4) {
        throw py::value_error("background needs 3 values (red, green, blue; opaque) or 4 (and alpha), not " +
                              std::to_string(count));
    }
    std::array<std::uint8_t, 4> colour = {0, 0, 0, 255};
    for (size_t i = 0; i < count; ++i) {
        colour[i] = static_cast<std::uint8_t>(whole_number("each background value", values[i], 0, 255));
    }
    return colour;
}

// One of the names as a string, standing for its value.
template <class T>
T named_value(const std::string& name, py::handle value, std::initializer_list<std::pair<const char*, T>> choices) {
    std::string list;
    for (const auto& [text, choice] : choices) list += std::string(list.empty() ? "" : ", ") + "'" + text + "'";
    if (!PyUnicode_Check(value.ptr()))
        throw py::type_error(name + " must be one of " + list + ", not " + type_name(value));
    const std::string given = py::str(value);
    for (const auto& [text, choice] : choices) {
        if (given == text) return choice;
    }
    throw py::value_error(name + " must be one of " + list + ", not '" + given + "'");
}

// True draws the lines over the surfaces, False none; or "none", "over", "only".
softcube::line_mode line_mode_of(const std::string& name, py::handle value) {
    if (PyBool_Check(value.ptr()))
        return value.ptr() == Py_True ? softcube::line_mode::over : softcube::line_mode::none;
    return named_value<softcube::line_mode>(name, value,
                                            {{"none", softcube::line_mode::none},
                                             {"over", softcube::line_mode::over},
                                             {"only", softcube::line_mode::only}});
}

}  // namespace

softcube::render_options render_options_from(const py::kwargs& keywords, const char* function, bool threads_allowed) {
    // Sizes out of their range are the library's to refuse, with the sizes in its message.
    constexpr long long int_min = std::numeric_limits<int>::min(), int_max = std::numeric_limits<int>::max();
    softcube::render_options o;
    for (const auto& [key, value] : keywords) {
        const std::string name = py::str(key);
        if (name == "width") {
            o.width = static_cast<int>(whole_number(name, value, int_min, int_max));
        } else if (name == "height") {
            o.height = static_cast<int>(whole_number(name, value, int_min, int_max));
        } else if (name == "azimuth") {
            o.azimuth = real_number(name, value);
        } else if (name == "elevation") {
            o.elevation = real_number(name, value);
        } else if (name == "zoom") {
            o.zoom = real_number(name, value);
        } else if (name == "frame") {
            o.frame = static_cast<std::uint64_t>(whole_number(name, value, 0, std::numeric_limits<long long>::max()));
        } else if (name == "background") {
            o.background = background_colour(value);
        } else if (name == "opacity") {
            o.opacity = real_number(name, value);
        } else if (name == "textured") {
            o.textured = switch_value(name, value);
        } else if (name == "wireframe") {
            o.wireframe = switch_value(name, value);
        } else if (name == "cull") {
            o.cull = switch_value(name, value);
        } else if (name == "clip") {
            o.clip = switch_value(name, value);
        } else if (name == "overlay") {
            o.overlay = switch_value(name, value);
        } else if (name == "edges") {
            o.edges = named_value<softcube::edge_rule>(name, value,
                                                       {{"automatic", softcube::edge_rule::automatic},
                                                        {"spans", softcube::edge_rule::spans},
                                                        {"watertight", softcube::edge_rule::watertight}});
        } else if (name == "ssaa") {
            o.ssaa = static_cast<int>(whole_number(name, value, int_min, int_max));
        } else if (name == "filter") {
            o.filter = named_value<softcube::texture_filter>(name, value,
                                                             {{"automatic", softcube::texture_filter::automatic},
                                                              {"nearest", softcube::texture_filter::nearest},
                                                              {"linear", softcube::texture_filter::linear},
                                                              {"trilinear", softcube::texture_filter::trilinear}});
        } else if (name == "lines") {
            o.lines = line_mode_of(name, value);
        } else if (name == "light_azimuth") {
            o.light_azimuth = real_number(name, value);
        } else if (name == "light_elevation") {
            o.light_elevation = real_number(name, value);
        } else if (name == "threads" && threads_allowed) {
            o.threads = static_cast<int>(whole_number(name, value, 0, int_max));
        } else if (name == "threads") {
            throw py::type_error(std::string(function) +
                                 "() got an unexpected keyword argument 'threads': a Renderer draws with the threads "
                                 "it was made with");
        } else {
            throw py::type_error(std::string(function) + "() got an unexpected keyword argument '" + name + "'");
        }
    }
    return o;
}

}  // namespace softcube_python
