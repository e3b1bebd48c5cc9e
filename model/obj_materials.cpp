// obj_material_libraries_t: reading each named material library as a regular file, within the limits, into
// tinyobjloader.
#include "model/obj_materials.h"

#include <istream>
#include <string_view>

#include "model/text_buffer.h"
#include "runtime/regular_file.h"

namespace {

// An upper bound of the materials a library's text declares: each begins with "newmtl".
uint64_t declared_materials(const std::vector<uint8_t>& bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    uint64_t count = 1;  // the reader keeps one material even for a library without any
    for (size_t at = text.find("newmtl"); at != std::string_view::npos; at = text.find("newmtl", at + 6)) ++count;
    return count;
}

}  // namespace

obj_material_libraries_t::obj_material_libraries_t(const model_source_t& source, const model_limits_t& limits)
    : folder_(source.folder),
      confining_folder_(source.confining_folder),
      bytes_left_(limits.max_material_bytes),
      materials_left_(limits.max_materials) {}

bool obj_material_libraries_t::operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                                          std::map<std::string, int>* material_numbers, std::string* warning,
                                          std::string* error) {
    const std::string path = !name.empty() && name[0] == '/' ? name : folder_ + name;
    const auto leave_out = [&](const std::string& why) {
        if (left_out_++ == 0) first_left_out_ = path + ": " + why;
        return false;
    };
    std::vector<uint8_t> bytes;
    std::string why;
    // Each library may take what the ones before it have left of the limit.
    if (!rt::read_regular_file(path, bytes_left_, &bytes, &why, confining_folder_)) return leave_out(why);
    const uint64_t declared = declared_materials(bytes);
    if (declared > materials_left_) {
        return leave_out("too many materials: at most " + std::to_string(materials_left_) + " more are accepted");
    }
    bytes_left_ -= bytes.size();
    materials_left_ -= declared;
    text_buffer_t buffer(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::istream stream(&buffer);
    tinyobj::LoadMtl(material_numbers, materials, &stream, warning, error);
    return true;
}

std::string obj_material_libraries_t::warning() const {
    if (left_out_ == 0) return "";
    std::string line = "warning: material library " + first_left_out_;
    if (left_out_ > 1) line += " (and " + std::to_string(left_out_ - 1) + " more left out)";
    return line + "; faces using its materials are drawn light grey";
}
