// tinygltf's implementation, compiled here from its header. Pictures are decoded by the runtime
// (SDL2_image), never by tinygltf's bundled stb_image, and nothing is ever written.
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
