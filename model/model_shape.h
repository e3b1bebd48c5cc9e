// The finishing steps every loaded model goes through: value checks, centring and scaling, computed normals.
#pragma once

#include <string>

#include "model/model.h"

// False, with the reason in *why, when a position, normal, texture coordinate or colour is
// not a finite number.
bool all_values_finite(const model_t& model, std::string* why);

// Moves the centre of the bounding box to the origin and scales uniformly so that the
// largest half-extent becomes 1: each coordinate becomes (p - centre) / half, computed in
// double and rounded once, so the extreme vertices land exactly on -1 and 1. False when
// every vertex is at one point (no extent to scale).
bool centre_and_scale(model_t& model, std::string* why);

// Area-weighted vertex normals: each triangle adds its edge cross product (b - a) x (c - a),
// whose length is twice its area, to its three corners; the sums are normalised. A vertex
// that only degenerate triangles touch keeps the zero normal.
void compute_normals(model_t& model);
