// Loading a model file: the file opened and checked once, read by the OBJ or glTF reader, then checked and shaped.
#include "model/model_load.h"

#include <algorithm>
#include <cctype>

#include "model/model_reader.h"
#include "model/model_shape.h"
#include "model/one_line.h"
#include "runtime/mapped_file.h"
#include "runtime/regular_file.h"

namespace {

std::string lower_case_ending(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ending = path.substr(dot);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending;
}

}  // namespace

bool load_model(const std::string& path, model_t* model, std::string* error, const model_limits_t& limits) {
    const auto fail = [&](const model_problem_t& problem) {
        // "model.obj:12: what" when the problem is on a line, as compilers name places.
        std::string line = path;
        if (problem.line != 0) line.append(":").append(std::to_string(problem.line));
        *error = one_line(line.append(": ").append(problem.what));
        *model = model_t{};
        return false;
    };
    *model = model_t{};
    // The user named this file, so its size may be told.
    const rt::regular_file_t file(path, limits.max_file_bytes);
    if (file.problem() == rt::file_problem_t::too_large) {
        return fail({"too large: " + std::to_string(file.size()) + " bytes, at most " +
                     std::to_string(limits.max_file_bytes) + " are accepted"});
    }
    if (!file.ok()) return fail({file.why()});
    const std::string ending = lower_case_ending(path);
    if (ending != ".obj" && ending != ".gltf" && ending != ".glb") {
        return fail({"unknown model format; the name must end in .obj, .gltf or .glb"});
    }
    const rt::mapped_file_t bytes(file);
    if (!bytes.ok()) return fail({"cannot be read"});

    model_source_t source;
    source.path = path;
    source.bytes = bytes.data();
    source.size = bytes.size();
    const size_t slash = path.find_last_of('/');
    source.folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    if (limits.confine_to_model_folder) source.confining_folder = source.folder.empty() ? "." : source.folder;
    model_problem_t problem;
    const bool read = ending == ".obj" ? read_obj(source, limits, model, &problem)
                                       : read_gltf(source, ending == ".glb", limits, model, &problem);
    if (!read) return fail(problem);
    model->reference_folder = source.confining_folder;
    if (!all_values_finite(*model, &problem.what)) return fail(problem);
    if (!centre_and_scale(*model, &problem.what)) return fail(problem);
    if (!model->has_normals) compute_normals(*model);
    for (std::string& warning : model->warnings) warning = one_line(warning);
    return true;
}
