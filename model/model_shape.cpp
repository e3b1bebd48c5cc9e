// Value checks, centring and scaling, and area-weighted normals of a loaded model.
#include "model/model_shape.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

bool finite(const vec4_t& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

bool all_finite(const std::vector<vec4_t>& values) { return std::all_of(values.begin(), values.end(), finite); }

double coordinate(const vec4_t& p, size_t axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

}  // namespace

bool all_values_finite(const model_t& model, std::string* why) {
    const std::array<std::pair<const std::vector<vec4_t>*, const char*>, 4> arrays{{
        {&model.positions, "a vertex position"},
        {&model.normals, "a normal"},
        {&model.texcoords, "a texture coordinate"},
        {&model.colours, "a material colour or opacity"},
    }};
    for (const auto& [values, what] : arrays) {
        if (!all_finite(*values)) {
            *why = std::string(what) + " is not a finite number";
            return false;
        }
    }
    return true;
}

bool centre_and_scale(model_t& model, std::string* why) {
    if (model.positions.empty()) {
        *why = "no vertices";
        return false;
    }
    std::array<double, 3> low{}, high{};
    for (size_t axis = 0; axis < 3; ++axis) low[axis] = high[axis] = coordinate(model.positions[0], axis);
    for (const vec4_t& p : model.positions) {
        for (size_t axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], coordinate(p, axis));
            high[axis] = std::max(high[axis], coordinate(p, axis));
        }
    }
    std::array<double, 3> centre{};
    double half = 0.0;
    for (size_t axis = 0; axis < 3; ++axis) {
        centre[axis] = (low[axis] + high[axis]) / 2.0;
        half = std::max(half, (high[axis] - low[axis]) / 2.0);
    }
    if (!(half > 0.0)) {
        *why = "zero extent: every vertex is at one point";
        return false;
    }
    for (vec4_t& p : model.positions) {
        p = vec4_t(static_cast<float>((p.x - centre[0]) / half), static_cast<float>((p.y - centre[1]) / half),
                   static_cast<float>((p.z - centre[2]) / half), 1.0f);
    }
    return true;
}

void compute_normals(model_t& model) {
    std::vector<std::array<double, 3>> sums(model.positions.size(), {0.0, 0.0, 0.0});
    for (size_t t = 0; t + 2 < model.indices.size(); t += 3) {
        const vec4_t& a = model.positions[model.indices[t]];
        const vec4_t& b = model.positions[model.indices[t + 1]];
        const vec4_t& c = model.positions[model.indices[t + 2]];
        const double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
        const double vx = double(c.x) - a.x, vy = double(c.y) - a.y, vz = double(c.z) - a.z;
        const std::array<double, 3> cross{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
        for (size_t k = 0; k < 3; ++k) {
            auto& sum = sums[model.indices[t + k]];
            for (size_t axis = 0; axis < 3; ++axis) sum[axis] += cross[axis];
        }
    }
    model.normals.resize(model.positions.size());
    for (size_t i = 0; i < sums.size(); ++i) {
        const auto& s = sums[i];
        const double length = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
        model.normals[i] = length > 0.0 ? vec4_t(static_cast<float>(s[0] / length), static_cast<float>(s[1] / length),
                                                 static_cast<float>(s[2] / length), 0.0f)
                                        : vec4_t(0.0f, 0.0f, 0.0f, 0.0f);
    }
}
