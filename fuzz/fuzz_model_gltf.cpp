// libFuzzer target: a glTF file (JSON, or binary when it starts with "glTF") through the whole model path.
#include <cstring>

#include "model_fuzz_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool binary = size >= 4 && std::memcmp(data, "glTF", 4) == 0;
    model_fuzz::run(data, size, binary ? "model.glb" : "model.gltf");
    return 0;
}
