// The cube scene and its camera.
#include "app/scene.h"

#include "target/screen.h"

void scene_setup(screen_t& /*screen*/) {}

void scene_update() {}

void scene_draw(screen_t& /*screen*/) {}
