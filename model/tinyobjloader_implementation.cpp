// tinyobjloader's implementation, compiled here from its header so that it carries our sanitizers and coverage.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
