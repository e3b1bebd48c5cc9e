// accessor_view_t: an accessor checked against its buffer view and buffer, and its components read as floats or
// indices.
#include "model/gltf_accessor.h"

#include <algorithm>
#include <cstring>

namespace {

size_t component_size(int type) {
    switch (type) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return 2;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

bool view_accessor(const tinygltf::Model& gltf, int index, int type, const char* what, accessor_view_t* view,
                   std::string* why) {
    const auto refuse = [&](const std::string& problem) {
        *why = std::string("the ") + what + " accessor " + problem;
        return false;
    };
    if (index < 0 || static_cast<size_t>(index) >= gltf.accessors.size()) return refuse("does not exist");
    const tinygltf::Accessor& accessor = gltf.accessors[static_cast<size_t>(index)];
    if (accessor.sparse.isSparse) return refuse("is sparse, which is not supported");
    if (accessor.type != type) return refuse("has the wrong element type");
    const size_t size = component_size(accessor.componentType);
    if (size == 0) return refuse("has an unknown component type");
    if (accessor.bufferView < 0 || static_cast<size_t>(accessor.bufferView) >= gltf.bufferViews.size()) {
        return refuse("has no buffer view");
    }
    const tinygltf::BufferView& buffer_view = gltf.bufferViews[static_cast<size_t>(accessor.bufferView)];
    if (buffer_view.buffer < 0 || static_cast<size_t>(buffer_view.buffer) >= gltf.buffers.size()) {
        return refuse("refers to a buffer that does not exist");
    }
    const std::vector<unsigned char>& data = gltf.buffers[static_cast<size_t>(buffer_view.buffer)].data;
    const size_t element = size * static_cast<size_t>(tinygltf::GetNumComponentsInType(static_cast<uint32_t>(type)));
    const size_t stride = buffer_view.byteStride != 0 ? buffer_view.byteStride : element;
    // Every quantity is bounded first, so the sums and the product below cannot overflow.
    constexpr size_t bound = size_t{1} << 40;
    if (accessor.count > bound || stride > bound || buffer_view.byteOffset > bound || buffer_view.byteLength > bound ||
        accessor.byteOffset > bound || stride < element) {
        return refuse("lies outside its buffer");
    }
    if (buffer_view.byteOffset + buffer_view.byteLength > data.size()) return refuse("lies outside its buffer");
    if (accessor.count != 0 && accessor.byteOffset + (accessor.count - 1) * stride + element > buffer_view.byteLength) {
        return refuse("lies outside its buffer view");
    }
    view->first = data.data() + buffer_view.byteOffset + accessor.byteOffset;
    view->stride = stride;
    view->count = accessor.count;
    view->component_type = accessor.componentType;
    view->normalized = accessor.normalized;
    return true;
}

float component(const accessor_view_t& view, size_t i, size_t c) {
    const uint8_t* at = view.first + i * view.stride + c * component_size(view.component_type);
    switch (view.component_type) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT: {
            float f = 0.0f;
            std::memcpy(&f, at, 4);
            return f;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return view.normalized ? static_cast<float>(at[0]) / 255.0f : static_cast<float>(at[0]);
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
            const auto v = static_cast<float>(static_cast<int8_t>(at[0]));
            return view.normalized ? std::max(v / 127.0f, -1.0f) : v;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v = 0;
            std::memcpy(&v, at, 2);
            return view.normalized ? static_cast<float>(v) / 65535.0f : static_cast<float>(v);
        }
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            int16_t v = 0;
            std::memcpy(&v, at, 2);
            return view.normalized ? std::max(static_cast<float>(v) / 32767.0f, -1.0f) : static_cast<float>(v);
        }
        default:
            return 0.0f;
    }
}

uint32_t index_at(const accessor_view_t& view, size_t i) {
    const uint8_t* at = view.first + i * view.stride;
    switch (view.component_type) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return at[0];
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v = 0;
            std::memcpy(&v, at, 2);
            return v;
        }
        default: {
            uint32_t v = 0;
            std::memcpy(&v, at, 4);
            return v;
        }
    }
}
