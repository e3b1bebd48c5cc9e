// obj_material_libraries_t: the material libraries an OBJ file names, read for tinyobjloader as regular files within
// limits.
#pragma once

#include <tiny_obj_loader.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/model.h"
#include "model/model_reader.h"

// tinyobjloader asks this reader for each "mtllib" file. A name is looked up beside the model
// (an absolute name as it stands) and read as a regular file (never a FIFO or device, within
// the confining folder when there is one); the libraries together may hold the limits'
// max_material_bytes and max_materials. A library that cannot be read is left out, its
// faces drawn in the default colour, and noted for one warning line.
class obj_material_libraries_t : public tinyobj::MaterialReader {
public:
    obj_material_libraries_t(const model_source_t& source, const model_limits_t& limits);

    bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* material_numbers, std::string* warning, std::string* error) override;

    // "warning: material library NAME: WHY; ..." for the first library left out (and how many
    // more there were); empty when none was.
    std::string warning() const;

private:
    std::string folder_;
    std::string confining_folder_;
    uint64_t bytes_left_ = 0;
    uint64_t materials_left_ = 0;
    std::string first_left_out_;  // "NAME: WHY"
    size_t left_out_ = 0;
};
