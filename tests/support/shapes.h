// Shapes the geometry, effects and scene tests build and compare.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "data/generator/writer_3ds.h"
#include "geometry/vector_math.h"

// Whether got is want to within a millionth of want's size (at least of 1).
testing::AssertionResult same(const Vector3& got, const Vector3& want);

// A closed sphere of shared vertices centred at (cx, cy, 0), its faces
// counter-clockwise seen from outside, in rings x sides quads.
writer3ds::Object sphereObject(float cx, float cy, float radius, const std::string& material,
                               int rings, int sides);
