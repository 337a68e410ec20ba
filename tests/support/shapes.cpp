#include "support/shapes.h"

#include <cmath>
#include <iomanip>

testing::AssertionResult same(const Vector3& got, const Vector3& want) {
  auto close = [](float a, float b) {
    return std::fabs(a - b) <= 1e-6f * std::fmax(1, std::fabs(b));
  };
  if (close(got.x, want.x) && close(got.y, want.y) && close(got.z, want.z))
    return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << std::setprecision(9) << "(" << got.x << ", " << got.y << ", " << got.z << ") is not ("
         << want.x << ", " << want.y << ", " << want.z << ")";
}

writer3ds::Object sphereObject(float cx, float cy, float radius, const std::string& material,
                               int rings, int sides) {
  writer3ds::Object o;
  o.name = "ball";
  o.material = material;
  for (int i = 0; i <= rings; ++i) {
    const float theta = 3.14159265f * i / rings;
    for (int j = 0; j < sides; ++j) {
      const float phi = 6.2831853f * j / sides;
      o.vertices.insert(o.vertices.end(),
                        {cx + radius * std::sin(theta) * std::cos(phi),
                         cy + radius * std::cos(theta), radius * std::sin(theta) * std::sin(phi)});
    }
  }
  for (int i = 0; i < rings; ++i) {
    for (int j = 0; j < sides; ++j) {
      const uint16_t a = i * sides + j, b = i * sides + (j + 1) % sides;
      const uint16_t c = (i + 1) * sides + (j + 1) % sides, d = (i + 1) * sides + j;
      o.faces.insert(o.faces.end(), {a, b, c, a, c, d});
    }
  }
  return o;
}
