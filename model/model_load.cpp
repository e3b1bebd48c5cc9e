// Loading a model file: the checks common to both formats around the OBJ and glTF readers.
#include "model/model_load.h"

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>

#include "model/model_reader.h"
#include "model/model_shape.h"

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
    const auto fail = [&](const std::string& why) {
        *error = path + ": " + why;
        *model = model_t{};
        return false;
    };
    *model = model_t{};
    const std::string ending = lower_case_ending(path);
    if (ending != ".obj" && ending != ".gltf" && ending != ".glb") {
        return fail("unknown model format; the name must end in .obj, .gltf or .glb");
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return fail("no such file");
    if (!S_ISREG(info.st_mode)) return fail("not a regular file");
    if (access(path.c_str(), R_OK) != 0) return fail("cannot be read (permission denied)");
    if (static_cast<uint64_t>(info.st_size) > limits.max_file_bytes) {
        return fail("too large: " + std::to_string(info.st_size) + " bytes, at most " +
                    std::to_string(limits.max_file_bytes) + " are accepted");
    }

    std::string why;
    const bool read =
        ending == ".obj" ? read_obj(path, limits, model, &why) : read_gltf(path, ending == ".glb", limits, model, &why);
    if (!read) return fail(why);
    if (!all_values_finite(*model, &why)) return fail(why);
    if (!centre_and_scale(*model, &why)) return fail(why);
    if (!model->has_normals) compute_normals(*model);
    return true;
}
