// make_seeds_3ds DIR: writes the seed corpus of the 3DS fuzz target, small
// files made by the generator's writer that reach every handler of the
// reader. Each file starts with the target's option byte (1: tangents).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "data/generator/writer_3ds.h"

namespace {

using writer3ds::ChunkWriter;

writer3ds::Object tile(const std::string& material) {
  writer3ds::Object o;
  o.name = "tile";
  o.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  o.faces = {0, 1, 2, 0, 2, 3};
  o.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
  o.material = material;
  return o;
}

// A small closed tube: a torus of 8 x 6 vertices.
writer3ds::Object ring() {
  writer3ds::Object o;
  o.name = "ring";
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 6; ++j) {
      const float a = 6.2831853f * i / 8, b = 6.2831853f * j / 6;
      const float r = 2.0f + 0.5f * std::cos(b);
      o.vertices.insert(o.vertices.end(), {r * std::cos(a), r * std::sin(a), 0.5f * std::sin(b)});
      o.texCoords.insert(o.texCoords.end(), {i / 8.0f, j / 6.0f});
    }
  }
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 6; ++j) {
      const uint16_t v00 = i * 6 + j, v01 = i * 6 + (j + 1) % 6;
      const uint16_t v10 = (i + 1) % 8 * 6 + j, v11 = (i + 1) % 8 * 6 + (j + 1) % 6;
      o.faces.insert(o.faces.end(), {v00, v01, v11, v00, v11, v10});
    }
  }
  return o;
}

writer3ds::Material material(const std::string& name, const std::string& texture) {
  writer3ds::Material m;
  m.name = name;
  m.textureFile = texture;
  return m;
}

// Unknown chunks of several lengths around a material and an object.
std::vector<uint8_t> withUnknownChunks() {
  ChunkWriter w;
  w.begin(writer3ds::PRIMARY);
  w.begin(0x0100);
  w.f32(1.0f);
  w.end();
  w.begin(writer3ds::EDITOR);
  w.begin(writer3ds::MESH_VERSION);
  w.u32(3);
  w.end();
  w.begin(0xB000);  // keyframer-like block, unread
  w.u32(0x12345678);
  w.end();
  writer3ds::writeMaterial(w, material("skin", "skin.jpg"));
  w.begin(writer3ds::OBJECT);
  w.cstr("odd");
  w.begin(0x4600);  // a light, unread
  w.f32(1);
  w.f32(2);
  w.f32(3);
  w.end();
  w.end();
  writer3ds::writeObject(w, tile("skin"));
  w.end();
  w.end();
  return w.bytes();
}

bool write(const std::string& dir, const std::string& name, bool tangents,
           const std::vector<uint8_t>& file) {
  std::vector<uint8_t> bytes(1, tangents ? 1 : 0);
  bytes.insert(bytes.end(), file.begin(), file.end());
  return writer3ds::writeFile(dir + "/" + name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds_3ds DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const auto textured = writer3ds::encodeModel({material("wood", "wood.jpg")}, {tile("wood")});
  bool ok = write(dir, "tile", false, writer3ds::encodeModel({}, {tile("")}));
  ok = ok && write(dir, "tile-textured-bump", true, textured);
  ok = ok && write(dir, "ring-bump", true,
                   writer3ds::encodeModel({material("a", ""), material("b", "b.bmp")},
                                          {ring(), tile("b"), tile("none")}));
  ok = ok && write(dir, "version4", false, writer3ds::encodeModel({}, {tile("")}, 4));
  ok = ok && write(dir, "unknown-chunks", true, withUnknownChunks());
  std::vector<uint8_t> cut(textured.begin(), textured.begin() + textured.size() / 2);
  ok = ok && write(dir, "truncated", true, cut);
  return ok ? 0 : 1;
}
