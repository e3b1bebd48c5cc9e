// tinygltf's file callbacks over regular_file_t, and tinygltf's error text made a sentence.
#include "model/gltf_files.h"

#include <sys/stat.h>

#include <cerrno>

#include "runtime/regular_file.h"

namespace {

// Anything but a missing file "exists", so that reading it says what is wrong with it.
bool anything_there(const std::string& path, void*) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 || errno != ENOENT;
}

// tinygltf's own expansion runs the shell's word expansion over the name; names stay as written.
std::string path_as_is(const std::string& path, void*) { return path; }

bool read_within_limits(std::vector<unsigned char>* out, std::string* err, const std::string& path, void* user_data) {
    auto* access = static_cast<gltf_file_access_t*>(user_data);
    std::string why;
    if (rt::read_regular_file(path, access->max_bytes, out, &why, access->confining_folder)) return true;
    if (access->problem.empty()) access->problem = path + ": " + why;
    if (err != nullptr) *err += "cannot read " + path + "\n";
    return false;
}

bool refuse_writing(std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
    if (err != nullptr) *err += "writing is not supported\n";
    return false;
}

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

tinygltf::FsCallbacks gltf_file_callbacks(gltf_file_access_t* access) {
    return {&anything_there, &path_as_is, &read_within_limits, &refuse_writing, access};
}

std::string gltf_error_sentence(const std::string& error, const gltf_file_access_t& access) {
    std::string line = error.substr(0, error.find('\n'));
    while (!line.empty() && (line.back() == '.' || line.back() == ' ' || line.back() == '\r')) line.pop_back();
    // tinygltf's messages about a buffer file, as its LoadExternalFile words them.
    if (starts_with(line, "File read error : ") && !access.problem.empty()) return "buffer " + access.problem;
    if (starts_with(line, "File not found : ")) return "buffer " + line.substr(17) + ": no such file";
    if (starts_with(line, "File is empty : ")) return "buffer " + line.substr(16) + ": empty file";
    if (starts_with(line, "File size mismatch : ")) {
        const std::string name = line.substr(21, line.find(", requestedBytes") - 21);
        return "buffer " + name + ": its length is not the byteLength the model gives";
    }
    if (starts_with(line, "[json.exception.")) line = line.substr(line.find("] ") + 2);
    return line.empty() ? "cannot be read as glTF" : line;
}
