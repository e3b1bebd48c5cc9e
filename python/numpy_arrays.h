// NumPy arrays to and from the library's records: meshes in, pictures in and out.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>

#include "softcube/softcube.h"

namespace softcube_python {

// The mesh's arrays, each checked for its shape and kind of number, a ValueError naming the
// array otherwise: positions (N, 3) and the other per-vertex arrays hold real numbers of any
// type, converted to float32; indices (M, 3) integers from 0 to N - 1; colours (N, 3) or
// (N, 4) from 0 to 1; normals (N, 3); uvs (N, 2); texture (H, W, 4) or (H, W, 3, opaque)
// uint8. None: not given. Finiteness and the limits are left to softcube::make_model.
softcube::mesh_arrays mesh_arrays_from(pybind11::handle positions, pybind11::handle indices, pybind11::handle colours,
                                       pybind11::handle normals, pybind11::handle uvs, pybind11::handle texture);

// The picture as an (H, W, 4) uint8 array that takes over the image's pixels without a copy.
pybind11::array_t<std::uint8_t> image_array(softcube::image&& picture);

// An (H, W, 4) or (H, W, 3) uint8 array as an image, 3 channels made opaque; a ValueError
// naming it otherwise.
softcube::image image_from(pybind11::handle array, const char* name);

}  // namespace softcube_python
