// libFuzzer target for the 3DS reader. The first input byte chooses whether
// tangent frames are built; the rest is the file. Besides the sanitizers'
// checks, every loaded model must be consistent: arrays as long as their
// counts, faces naming existing vertices, material indices inside the table.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "geometry/model_3ds.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

void checkModel(const Model3DS& model, bool tangents) {
  require(model.objectCount == static_cast<int>(model.objects.size()));
  require(model.materialCount == static_cast<int>(model.materials.size()));
  require(model.materialCount <= MAX_MODEL_MATERIALS);
  for (const MeshMaterial& m : model.materials) {
    require(m.name[sizeof m.name - 1] == '\0');
    require(m.textureFile[sizeof m.textureFile - 1] == '\0');
  }
  for (const MeshObject& o : model.objects) {
    const size_t n = static_cast<size_t>(o.vertexCount);
    require(o.vertices.size() == n && o.normals.size() == n);
    require(o.faces.size() == static_cast<size_t>(o.faceCount));
    require(o.texCoordCount == 0 || o.texCoords.size() >= n);
    require(o.materialIndex >= 0 &&
            (o.materialIndex == 0 || o.materialIndex < model.materialCount));
    if (tangents) {
      require(o.tangents.size() == n && o.binormals.size() == n && o.frameNormals.size() == n);
    }
    for (const MeshFace& f : o.faces) {
      require(f.a >= 0 && static_cast<size_t>(f.a) < n && f.b >= 0 &&
              static_cast<size_t>(f.b) < n && f.c >= 0 && static_cast<size_t>(f.c) < n);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;  // fmemopen refuses an empty file
  const bool tangents = data[0] & 1;
  FILE* stream = fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
  if (!stream) return 0;
  Model3DS model;
  model.loader.importStream(model, stream, "fuzz.3ds", tangents);
  std::fclose(stream);
  checkModel(model, tangents);
  return 0;
}
