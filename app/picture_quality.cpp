// A run's picture quality from its options.
#include "app/picture_quality.h"

#include "scene/model_scene.h"
#include "surfaces/light.h"

void picture_quality_t::apply_to(draw_state_t& state) const {
    state.edges = edges;
    state.filter = filter;
    state.lines = lines;
    state.light = light;
}

picture_quality_t picture_quality_of(const options_t& o, bool thumbnail, uint32_t width, uint32_t height) {
    picture_quality_t q;
    q.edges = o.edges_given || !thumbnail ? o.edges : model_picture_edges;
    q.ssaa = o.ssaa_given || !thumbnail ? o.ssaa : model_picture_ssaa_for(width, height);
    q.filter = o.filter_given || !thumbnail ? o.filter : model_picture_filter;
    q.lines = o.lines;
    q.light = light_from_angles(o.light_azimuth, o.light_elevation);
    return q;
}
