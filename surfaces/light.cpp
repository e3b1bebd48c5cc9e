// The light's direction from its azimuth and elevation.
#include "surfaces/light.h"

#include <cmath>
#include <numbers>

vec4_t light_from_angles(double azimuth_degrees, double elevation_degrees) {
    if (azimuth_degrees == 0.0 && elevation_degrees == 0.0) return default_light;
    const double az = azimuth_degrees * std::numbers::pi / 180.0;
    const double el = elevation_degrees * std::numbers::pi / 180.0;
    return vec4_t(static_cast<float>(-std::sin(az) * std::cos(el)), static_cast<float>(-std::sin(el)),
                  static_cast<float>(std::cos(az) * std::cos(el)), 1.0f);
}
