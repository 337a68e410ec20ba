// Writes 3DS files in the chunk layout the model loader reads.
//
// ChunkWriter builds a file chunk by chunk: begin(id) opens a chunk, the
// value writers append little-endian data to it, end() closes it and fills in
// its length; bytes() is the file. encodeModel turns a whole model (materials
// and mesh objects) into bytes in the usual order: version, editor block with
// its mesh version first, materials before the objects that name them.
// writeFile is the only operation that can fail (false, reason on stderr).
// Header-only so that the generator, the tests and the fuzz seeds share it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "geometry/chunks_3ds.h"

namespace writer3ds {

class ChunkWriter {
 public:
  // Opens a chunk inside the one open now (or at the top level).
  void begin(uint16_t id) {
    open.push_back(buf.size());
    u16(id);
    u32(0);
  }

  // Closes the innermost open chunk and writes its length (header included).
  void end() {
    const size_t start = open.back();
    open.pop_back();
    patchU32(start + 2, static_cast<uint32_t>(buf.size() - start));
  }

  // Overwrites four bytes at an offset: for files with deliberately wrong lengths.
  void patchU32(size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) buf[offset + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  void u8(uint8_t v) { buf.push_back(v); }
  void u16(uint16_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
  }
  void u32(uint32_t v) {
    u16(static_cast<uint16_t>(v));
    u16(static_cast<uint16_t>(v >> 16));
  }
  void f32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    u32(v);
  }
  // The text and its terminating NUL.
  void cstr(const std::string& s) {
    buf.insert(buf.end(), s.begin(), s.end());
    u8(0);
  }
  void raw(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    buf.insert(buf.end(), p, p + n);
  }

  // Where the next byte goes.
  size_t size() const { return buf.size(); }
  const std::vector<uint8_t>& bytes() const { return buf; }

 private:
  std::vector<uint8_t> buf;
  std::vector<size_t> open;
};

// The chunk identifiers, as the program's reader knows them.
using namespace chunk3ds;

struct Material {
  std::string name;
  uint8_t colour[3] = {255, 255, 255};
  std::string textureFile;  // empty: no texture map
};

struct Object {
  std::string name;
  std::vector<float> vertices;             // x, y, z per vertex
  std::vector<uint16_t> faces;             // a, b, c per triangle
  std::vector<float> texCoords;            // u, v per vertex; empty: no mapping chunk
  std::string material;                    // empty: no face-material chunk
  std::vector<std::string> moreMaterials;  // further face-material chunks, in order
};

// Appends one material block.
inline void writeMaterial(ChunkWriter& w, const Material& m) {
  w.begin(MATERIAL);
  w.begin(MATERIAL_NAME);
  w.cstr(m.name);
  w.end();
  w.begin(DIFFUSE);
  w.begin(COLOUR_24);
  w.raw(m.colour, 3);
  w.end();
  w.end();
  if (!m.textureFile.empty()) {
    w.begin(TEXTURE_MAP);
    w.begin(MAPPING_FILE);
    w.cstr(m.textureFile);
    w.end();
    w.end();
  }
  w.end();
}

// Appends one named object with its triangle mesh. Each face-material chunk
// lists every face, nested in the face list as 3DS files have it.
inline void writeObject(ChunkWriter& w, const Object& o) {
  w.begin(OBJECT);
  w.cstr(o.name);
  w.begin(TRIANGLE_MESH);
  const size_t vertexCount = o.vertices.size() / 3;
  w.begin(VERTEX_LIST);
  w.u16(static_cast<uint16_t>(vertexCount));
  for (float f : o.vertices) w.f32(f);
  w.end();
  if (!o.texCoords.empty()) {
    w.begin(MAPPING_COORDS);
    w.u16(static_cast<uint16_t>(o.texCoords.size() / 2));
    for (float f : o.texCoords) w.f32(f);
    w.end();
  }
  const size_t faceCount = o.faces.size() / 3;
  w.begin(FACE_LIST);
  w.u16(static_cast<uint16_t>(faceCount));
  for (size_t i = 0; i < faceCount; ++i) {
    w.u16(o.faces[3 * i]);
    w.u16(o.faces[3 * i + 1]);
    w.u16(o.faces[3 * i + 2]);
    w.u16(7);  // edge flags: all three edges visible
  }
  std::vector<std::string> materials = o.moreMaterials;
  if (!o.material.empty()) materials.insert(materials.begin(), o.material);
  for (const std::string& material : materials) {
    w.begin(FACE_MATERIAL);
    w.cstr(material);
    w.u16(static_cast<uint16_t>(faceCount));
    for (size_t i = 0; i < faceCount; ++i) w.u16(static_cast<uint16_t>(i));
    w.end();
  }
  w.end();
  w.end();
  w.end();
}

// A complete file: version chunk, editor block, materials, then objects.
inline std::vector<uint8_t> encodeModel(const std::vector<Material>& materials,
                                        const std::vector<Object>& objects, uint32_t version = 3) {
  ChunkWriter w;
  w.begin(PRIMARY);
  w.begin(VERSION);
  w.u32(version);
  w.end();
  w.begin(EDITOR);
  w.begin(MESH_VERSION);
  w.u32(3);
  w.end();
  for (const Material& m : materials) writeMaterial(w, m);
  for (const Object& o : objects) writeObject(w, o);
  w.end();
  w.end();
  return w.bytes();
}

// Writes the bytes to a file; false (and the reason on stderr) on failure.
inline bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "writer3ds: cannot open %s\n", path.c_str());
    return false;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!ok || !closed) std::fprintf(stderr, "writer3ds: cannot write %s\n", path.c_str());
  return ok && closed;
}

}  // namespace writer3ds
