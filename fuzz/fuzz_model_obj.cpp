// libFuzzer target: an OBJ file through the whole model path (loader, checks, centring, mesh, one drawn frame).
#include "model_fuzz_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    model_fuzz::run(data, size, "model.obj");
    return 0;
}
