#include "geometry/loader_3ds.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "geometry/chunks_3ds.h"

namespace {

// Nesting deeper than this is skipped whole: it keeps a hostile file from
// exhausting the stack with chunks inside chunks.
constexpr int MAX_DEPTH = 32;

LoaderMessage message(const char* format, const char* path, const char* caption) {
  std::string text(std::strlen(format) + std::strlen(path) + 1, '\0');
  const int n = std::snprintf(&text[0], text.size(), format, path);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return LoaderMessage{text, caption};
}

uint32_t littleU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t littleU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

float littleFloat(const uint8_t* p) {
  const uint32_t bits = littleU32(p);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

}  // namespace

std::vector<LoaderMessage> Loader3DS::import(Mesh3DS& model, const char* path,
                                             bool computeTangents) {
  FILE* stream = std::fopen(path, "rb");
  if (!stream) return {message("Unable to find the file: %s!", path, "Error")};
  std::vector<LoaderMessage> said = importStream(model, stream, path, computeTangents);
  std::fclose(stream);
  return said;
}

std::vector<LoaderMessage> Loader3DS::importStream(Mesh3DS& model, FILE* stream, const char* path,
                                                   bool computeTangents) {
  file = stream;
  ended = false;
  messages.clear();
  model.objectCount = 0;
  model.materialCount = 0;
  model.objects.clear();
  model.materials.clear();

  uint8_t raw[6];
  current = ChunkHeader{};
  if (std::fread(raw, 1, 6, file) != 6 || littleU16(raw) != chunk3ds::PRIMARY) {
    messages.push_back(message("Unable to load PRIMARY chuck from file: %s!", path, "Error"));
    file = nullptr;
    return std::move(messages);
  }
  current.id = chunk3ds::PRIMARY;
  current.length = std::max<uint32_t>(littleU32(raw + 2), 6);
  current.bytesRead = 6;
  processMain(model, current, 0);

  for (MeshObject& object : model.objects) {
    // Faces naming a vertex that does not exist are dropped.
    const int n = object.vertexCount;
    auto bad = [n](const MeshFace& f) {
      return f.a < 0 || f.a >= n || f.b < 0 || f.b >= n || f.c < 0 || f.c >= n;
    };
    object.faces.erase(std::remove_if(object.faces.begin(), object.faces.end(), bad),
                       object.faces.end());
    object.faceCount = static_cast<int>(object.faces.size());
    // Coordinates are indexed by vertex: a short array is padded with (0, 0).
    if (object.texCoordCount > 0 && object.texCoordCount < n) object.texCoords.resize(n);
    buildVertexNormals(object);
  }
  if (computeTangents) {
    for (MeshObject& object : model.objects) buildTangentFrames(object);
  }
  file = nullptr;
  return std::move(messages);
}

void Loader3DS::processMain(Mesh3DS& model, ChunkHeader& parent, int depth) {
  ChunkHeader child;
  while (!ended && parent.bytesRead < parent.length) {
    if (!readChild(parent, child)) break;
    switch (child.id) {
      case chunk3ds::VERSION: {
        uint8_t v[4] = {};
        readRestInto(child, v, 4);
        if (littleU32(v) > 3) {
          messages.push_back(
              {"This 3DS file is over version 3 so it may load incorrectly", "Warning"});
        }
        break;
      }
      case chunk3ds::EDITOR:
        if (depth >= MAX_DEPTH) {
          skipRest(child);
          break;
        }
        // The editor block opens with the mesh version, read whole and unused.
        if (readChild(child, scratch)) {
          skipRest(scratch);
          child.bytesRead += scratch.bytesRead;
        }
        processMain(model, child, depth + 1);
        break;
      case chunk3ds::OBJECT: {
        if (depth >= MAX_DEPTH) {
          skipRest(child);
          break;
        }
        model.objectCount += 1;
        model.objects.emplace_back();
        MeshObject& object = model.objects.back();
        readName(child, object.name);
        processObject(model, object, child, depth + 1);
        break;
      }
      case chunk3ds::MATERIAL: {
        // The texture tables hold MAX_MODEL_MATERIALS entries; later blocks are skipped.
        if (depth >= MAX_DEPTH || model.materialCount >= MAX_MODEL_MATERIALS) {
          skipRest(child);
          break;
        }
        model.materialCount += 1;
        model.materials.emplace_back();
        processMaterial(model.materials.back(), child, depth + 1);
        break;
      }
      default: skipRest(child);
    }
    parent.bytesRead += child.bytesRead;
  }
}

void Loader3DS::processObject(Mesh3DS& model, MeshObject& object, ChunkHeader& parent, int depth) {
  ChunkHeader child;
  std::vector<uint8_t> data;
  while (!ended && parent.bytesRead < parent.length) {
    if (!readChild(parent, child)) break;
    switch (child.id) {
      case chunk3ds::TRIANGLE_MESH:
        if (depth >= MAX_DEPTH)
          skipRest(child);
        else
          processObject(model, object, child, depth + 1);
        break;
      case chunk3ds::VERTEX_LIST: {
        uint8_t count[2] = {};
        readData(child, count, 2);
        const uint32_t n = std::min<uint32_t>(littleU16(count), remaining(child) / 12);
        data.resize(n * 12);
        readData(child, data.data(), n * 12);
        object.vertexCount = static_cast<int>(n);
        object.vertices.assign(n, Vector3());
        for (uint32_t i = 0; i < n; ++i) {
          const uint8_t* p = &data[i * 12];
          object.vertices[i] = Vector3(littleFloat(p), littleFloat(p + 4), littleFloat(p + 8));
        }
        skipRest(child);
        break;
      }
      case chunk3ds::FACE_LIST: {
        // Only the count and the faces: the material sub-chunks that follow
        // are read by this loop as if they were siblings.
        uint8_t count[2] = {};
        readData(child, count, 2);
        const uint32_t n = std::min<uint32_t>(littleU16(count), remaining(child) / 8);
        data.resize(n * 8);
        readData(child, data.data(), n * 8);
        object.faceCount = static_cast<int>(n);
        object.faces.assign(n, MeshFace());
        for (uint32_t i = 0; i < n; ++i) {
          const uint8_t* p = &data[i * 8];
          object.faces[i] = MeshFace{littleU16(p), littleU16(p + 2), littleU16(p + 4)};
        }
        break;
      }
      case chunk3ds::FACE_MATERIAL: {
        char name[255];
        readName(child, name);
        for (int i = 0; i < model.materialCount; ++i) {
          if (std::strcmp(model.materials[i].name, name) == 0) {
            object.materialIndex = i;
            // Set, never cleared: one textured material keeps the object textured.
            if (model.materials[i].textureFile[0] != '\0') object.hasTexture = true;
            break;
          }
        }
        skipRest(child);
        break;
      }
      case chunk3ds::MAPPING_COORDS: {
        uint8_t count[2] = {};
        readData(child, count, 2);
        const uint32_t n = std::min<uint32_t>(littleU16(count), remaining(child) / 8);
        data.resize(n * 8);
        readData(child, data.data(), n * 8);
        object.texCoordCount = static_cast<int>(n);
        object.texCoords.assign(n, TexCoord());
        for (uint32_t i = 0; i < n; ++i) {
          object.texCoords[i] = TexCoord{littleFloat(&data[i * 8]), littleFloat(&data[i * 8 + 4])};
        }
        skipRest(child);
        break;
      }
      default: skipRest(child);
    }
    parent.bytesRead += child.bytesRead;
  }
}

void Loader3DS::processMaterial(MeshMaterial& material, ChunkHeader& parent, int depth) {
  ChunkHeader child;
  while (!ended && parent.bytesRead < parent.length) {
    if (!readChild(parent, child)) break;
    switch (child.id) {
      case chunk3ds::MATERIAL_NAME:
        readRestInto(child, material.name, sizeof material.name);
        material.name[sizeof material.name - 1] = '\0';
        break;
      case chunk3ds::DIFFUSE:
        // One colour sub-chunk; a second one is read by this loop as a sibling.
        if (readChild(child, scratch)) {
          readRestInto(scratch, material.colour, sizeof material.colour);
          child.bytesRead += scratch.bytesRead;
        }
        break;
      case chunk3ds::TEXTURE_MAP:
        if (depth >= MAX_DEPTH)
          skipRest(child);
        else
          processMaterial(material, child, depth + 1);
        break;
      case chunk3ds::MAPPING_FILE:
        readRestInto(child, material.textureFile, sizeof material.textureFile);
        material.textureFile[sizeof material.textureFile - 1] = '\0';
        break;
      default: skipRest(child);
    }
    parent.bytesRead += child.bytesRead;
  }
}

bool Loader3DS::readChild(ChunkHeader& parent, ChunkHeader& child) {
  const uint32_t room = remaining(parent);
  if (ended || room < 6) {
    skipRest(parent);
    return false;
  }
  uint8_t raw[6];
  if (std::fread(raw, 1, 6, file) != 6) {
    ended = true;
    return false;
  }
  child.id = littleU16(raw);
  child.length = std::min(std::max<uint32_t>(littleU32(raw + 2), 6), room);
  child.bytesRead = 6;
  return true;
}

uint32_t Loader3DS::readData(ChunkHeader& chunk, void* dst, uint32_t n) {
  if (ended) return 0;
  n = std::min(n, remaining(chunk));
  const uint32_t got = static_cast<uint32_t>(std::fread(dst, 1, n, file));
  chunk.bytesRead += got;
  if (got < n) ended = true;
  return got;
}

void Loader3DS::skipRest(ChunkHeader& chunk) {
  uint8_t sink[4096];
  while (!ended && remaining(chunk) > 0) readData(chunk, sink, sizeof sink);
}

void Loader3DS::readRestInto(ChunkHeader& chunk, void* field, uint32_t size) {
  readData(chunk, field, size);
  skipRest(chunk);
}

void Loader3DS::readName(ChunkHeader& chunk, char* field) {
  int length = 0;
  uint8_t c = 0;
  while (remaining(chunk) > 0 && readData(chunk, &c, 1) == 1 && c != 0) {
    if (length < 254) field[length++] = static_cast<char>(c);
  }
  field[length] = '\0';
}

void triangleTangentFrame(const Vector3& p, const Vector3& q, const Vector3& r, const float uvP[2],
                          const float uvQ[2], const float uvR[2], Vector3& tangent,
                          Vector3& binormal, Vector3& normal) {
  const Vector3 e1 = q - p;
  const Vector3 e2 = r - p;
  const float du1 = uvQ[0] - uvP[0], dv1 = uvQ[1] - uvP[1];
  const float du2 = uvR[0] - uvP[0], dv2 = uvR[1] - uvP[1];
  const float det = du1 * dv2 - du2 * dv1;
  if (-0.0001f < det && det < 0.0001f) {
    tangent = Vector3(1, 0, 0);
    binormal = Vector3(0, 1, 0);
    normal = Vector3(0, 0, 1);
    return;
  }
  const Vector3 t = (e1 * dv2 - e2 * dv1) * (1.0f / det);
  const Vector3 b = (e2 * du1 - e1 * du2) * (1.0f / det);
  const Vector3 n = crossProduct(t.x, t.y, t.z, b.x, b.y, b.z);
  const Vector3 ca = crossProduct(b.x, b.y, b.z, n.x, n.y, n.z);
  const Vector3 cb = crossProduct(n.x, n.y, n.z, t.x, t.y, t.z);
  const Vector3 cc = crossProduct(t.x, t.y, t.z, b.x, b.y, b.z);
  const float d = t.dot(ca.x, ca.y, ca.z);
  tangent = Vector3(ca.x, -cb.x, cc.x) * (1.0f / d);
  binormal = Vector3(ca.y, -cb.y, cc.y) * (1.0f / d);
  normal = Vector3(ca.z, -cb.z, cc.z) * (1.0f / d);
}

void buildVertexNormals(MeshObject& object) {
  std::vector<Vector3> sums(object.vertexCount);
  for (const MeshFace& f : object.faces) {
    const Vector3& p0 = object.vertices[f.a];
    const Vector3 e1 = object.vertices[f.b] - p0;
    const Vector3 e2 = object.vertices[f.c] - p0;
    const Vector3 n = crossProduct(e1.x, e1.y, e1.z, e2.x, e2.y, e2.z);
    sums[f.a] = sums[f.a] + n;
    if (f.b != f.a) sums[f.b] = sums[f.b] + n;
    if (f.c != f.a && f.c != f.b) sums[f.c] = sums[f.c] + n;
  }
  object.normals.assign(object.vertexCount, Vector3());
  for (int v = 0; v < object.vertexCount; ++v) {
    const Vector3& s = sums[v];
    if (s.x != 0.0f || s.y != 0.0f || s.z != 0.0f) object.normals[v] = normalize(s.x, s.y, s.z);
  }
}

void buildTangentFrames(MeshObject& object) {
  const int n = object.vertexCount;
  object.tangents.assign(n, Vector3(1, 0, 0));
  object.binormals.assign(n, Vector3(0, 1, 0));
  object.frameNormals.assign(n, Vector3(0, 0, 1));
  const bool mapped = object.texCoordCount > 0;
  for (const MeshFace& f : object.faces) {
    const int index[3] = {f.a, f.b, f.c};
    for (int k = 0; k < 3; ++k) {
      const int p = index[k], q = index[(k + 2) % 3], r = index[(k + 1) % 3];
      float uv[3][2] = {};
      if (mapped) {
        const int corner[3] = {p, q, r};
        for (int i = 0; i < 3; ++i) {
          uv[i][0] = object.texCoords[corner[i]].u;
          uv[i][1] = object.texCoords[corner[i]].v;
        }
      }
      triangleTangentFrame(object.vertices[p], object.vertices[q], object.vertices[r], uv[0], uv[1],
                           uv[2], object.tangents[p], object.binormals[p], object.frameNormals[p]);
    }
  }
}
