#include "mesh_tools.h"

#include <cmath>

namespace datagen {

float dot(const V3& a, const V3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

V3 cross(const V3& a, const V3& b) {
  return V3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float length(const V3& a) { return std::sqrt(dot(a, a)); }

V3 normalized(const V3& a) {
  const float l = length(a);
  return l > 0.0f ? a * (1.0f / l) : a;
}

namespace {

// The eight corners of a cell as offsets, and the twelve edges between them.
const int CORNER[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                          {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
const int EDGE[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                         {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// Moves p onto the zero set of f by Newton steps along the gradient.
V3 project(const DistanceFn& f, V3 p, float eps, float maxStep) {
  for (int step = 0; step < 4; ++step) {
    const float d = f(p);
    const V3 g((f(V3(p.x + eps, p.y, p.z)) - f(V3(p.x - eps, p.y, p.z))) / (2 * eps),
               (f(V3(p.x, p.y + eps, p.z)) - f(V3(p.x, p.y - eps, p.z))) / (2 * eps),
               (f(V3(p.x, p.y, p.z + eps)) - f(V3(p.x, p.y, p.z - eps))) / (2 * eps));
    const float g2 = dot(g, g);
    if (g2 < 1e-12f) break;
    V3 move = g * (d / g2);
    const float l = length(move);
    if (l > maxStep) move = move * (maxStep / l);
    p = p - move;
  }
  return p;
}

}  // namespace

Mesh polygonize(const DistanceFn& f, const V3& lo, const V3& hi, float cell) {
  const int nx = static_cast<int>(std::ceil((hi.x - lo.x) / cell));
  const int ny = static_cast<int>(std::ceil((hi.y - lo.y) / cell));
  const int nz = static_cast<int>(std::ceil((hi.z - lo.z) / cell));
  auto point = [&](int i, int j, int k) {
    return V3(lo.x + i * cell, lo.y + j * cell, lo.z + k * cell);
  };
  auto sampleIndex = [&](int i, int j, int k) {
    return (static_cast<size_t>(k) * (ny + 1) + j) * (nx + 1) + i;
  };
  auto cellIndex = [&](int i, int j, int k) { return (static_cast<size_t>(k) * ny + j) * nx + i; };

  std::vector<float> value(static_cast<size_t>(nx + 1) * (ny + 1) * (nz + 1));
  for (int k = 0; k <= nz; ++k)
    for (int j = 0; j <= ny; ++j)
      for (int i = 0; i <= nx; ++i) value[sampleIndex(i, j, k)] = f(point(i, j, k));

  Mesh mesh;
  // One vertex per crossed cell: the mean of its edge crossings.
  std::vector<int32_t> cellVertex(static_cast<size_t>(nx) * ny * nz, -1);
  for (int k = 0; k < nz; ++k) {
    for (int j = 0; j < ny; ++j) {
      for (int i = 0; i < nx; ++i) {
        float v[8];
        int inside = 0;
        for (int c = 0; c < 8; ++c) {
          v[c] = value[sampleIndex(i + CORNER[c][0], j + CORNER[c][1], k + CORNER[c][2])];
          inside += v[c] < 0.0f;
        }
        if (inside == 0 || inside == 8) continue;
        V3 sum;
        int crossings = 0;
        for (const auto& e : EDGE) {
          const float a = v[e[0]], b = v[e[1]];
          if ((a < 0.0f) == (b < 0.0f)) continue;
          const float t = a / (a - b);
          const V3 pa = point(i + CORNER[e[0]][0], j + CORNER[e[0]][1], k + CORNER[e[0]][2]);
          const V3 pb = point(i + CORNER[e[1]][0], j + CORNER[e[1]][1], k + CORNER[e[1]][2]);
          sum = sum + pa + (pb - pa) * t;
          ++crossings;
        }
        cellVertex[cellIndex(i, j, k)] = static_cast<int32_t>(mesh.vertices.size());
        mesh.vertices.push_back(sum * (1.0f / crossings));
      }
    }
  }

  // One quad per crossed grid edge, from the four cells around it, wound
  // counter-clockwise seen from the outside end of the edge.
  auto quad = [&](size_t c0, size_t c1, size_t c2, size_t c3, bool flip) {
    uint32_t q[4] = {static_cast<uint32_t>(cellVertex[c0]), static_cast<uint32_t>(cellVertex[c1]),
                     static_cast<uint32_t>(cellVertex[c2]), static_cast<uint32_t>(cellVertex[c3])};
    if (flip) std::swap(q[1], q[3]);
    const V3 d02 = mesh.vertices[q[2]] - mesh.vertices[q[0]];
    const V3 d13 = mesh.vertices[q[3]] - mesh.vertices[q[1]];
    const uint32_t split[2][6] = {{q[0], q[1], q[2], q[0], q[2], q[3]},
                                  {q[0], q[1], q[3], q[1], q[2], q[3]}};
    const uint32_t* t = split[dot(d02, d02) <= dot(d13, d13) ? 0 : 1];
    mesh.triangles.insert(mesh.triangles.end(), t, t + 6);
  };
  for (int k = 0; k <= nz; ++k) {
    for (int j = 0; j <= ny; ++j) {
      for (int i = 0; i <= nx; ++i) {
        const bool in = value[sampleIndex(i, j, k)] < 0.0f;
        if (i < nx && j > 0 && k > 0 && j < ny && k < nz &&
            in != (value[sampleIndex(i + 1, j, k)] < 0.0f)) {
          quad(cellIndex(i, j - 1, k - 1), cellIndex(i, j, k - 1), cellIndex(i, j, k),
               cellIndex(i, j - 1, k), !in);
        }
        if (j < ny && i > 0 && k > 0 && i < nx && k < nz &&
            in != (value[sampleIndex(i, j + 1, k)] < 0.0f)) {
          quad(cellIndex(i - 1, j, k - 1), cellIndex(i - 1, j, k), cellIndex(i, j, k),
               cellIndex(i, j, k - 1), !in);
        }
        if (k < nz && i > 0 && j > 0 && i < nx && j < ny &&
            in != (value[sampleIndex(i, j, k + 1)] < 0.0f)) {
          quad(cellIndex(i - 1, j - 1, k), cellIndex(i, j - 1, k), cellIndex(i, j, k),
               cellIndex(i - 1, j, k), !in);
        }
      }
    }
  }

  const float eps = cell * 0.05f;
  for (V3& p : mesh.vertices) p = project(f, p, eps, cell);
  return mesh;
}

void relax(Mesh& mesh, const DistanceFn& f, int rounds) {
  const size_t n = mesh.vertices.size();
  std::vector<std::vector<uint32_t>> neighbours(n);
  for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
    for (int e = 0; e < 3; ++e) {
      const uint32_t a = mesh.triangles[t + e], b = mesh.triangles[t + (e + 1) % 3];
      neighbours[a].push_back(b);
      neighbours[b].push_back(a);
    }
  }
  // Gradients are taken over a twentieth of the mean edge.
  double edgeSum = 0.0;
  size_t edges = 0;
  for (size_t v = 0; v < n; ++v) {
    for (uint32_t w : neighbours[v]) edgeSum += length(mesh.vertices[w] - mesh.vertices[v]);
    edges += neighbours[v].size();
  }
  const float eps = edges ? static_cast<float>(edgeSum / edges) * 0.05f : 1e-3f;
  for (int round = 0; round < rounds; ++round) {
    std::vector<V3> next(mesh.vertices);
    for (size_t v = 0; v < n; ++v) {
      if (neighbours[v].empty()) continue;
      V3 mean;
      for (uint32_t w : neighbours[v]) mean = mean + mesh.vertices[w];
      mean = mean * (1.0f / neighbours[v].size());
      next[v] = project(f, mesh.vertices[v] + (mean - mesh.vertices[v]) * 0.5f, eps, 1e30f);
    }
    mesh.vertices.swap(next);
  }
}

writer3ds::Object toObject(const Mesh& mesh, const std::string& name, const std::string& material) {
  writer3ds::Object o;
  o.name = name;
  o.material = material;
  for (const V3& p : mesh.vertices) o.vertices.insert(o.vertices.end(), {p.x, p.y, p.z});
  for (uint32_t i : mesh.triangles) o.faces.push_back(static_cast<uint16_t>(i));
  return o;
}

}  // namespace datagen
