// The records of a 3DS model: its materials and mesh objects, as the reader
// (loader_3ds.h) fills them into a Mesh3DS and the model (model_3ds.h, a
// Mesh3DS itself) draws them.
//
// Plain values: each MeshObject owns its arrays; a material's texture is an
// index into the model's texture table. Nothing here fails.
#pragma once

#include <vector>

#include "geometry/vector_math.h"

// The most materials a mesh keeps (the size of the model's texture tables).
constexpr int MAX_MODEL_MATERIALS = 100;

struct MeshMaterial {
  char name[255] = {};
  char textureFile[255] = {};  // empty when the material has no texture map
  unsigned char colour[3] = {};
  int textureIndex = 0;
};

struct MeshFace {
  int a = 0, b = 0, c = 0;
};

struct TexCoord {
  float u = 0.0f, v = 0.0f;
};

struct MeshObject {
  int vertexCount = 0;
  int faceCount = 0;
  int texCoordCount = 0;  // as read; texCoords holds at least vertexCount pairs when non-zero
  int materialIndex = 0;
  bool hasTexture = false;
  char name[255] = {};
  std::vector<Vector3> vertices;
  std::vector<Vector3> normals;
  std::vector<TexCoord> texCoords;
  std::vector<Vector3> tangents;      // bump mapping only
  std::vector<Vector3> binormals;     // bump mapping only
  std::vector<Vector3> frameNormals;  // bump mapping only
  std::vector<MeshFace> faces;
};

// What one 3DS file holds: its objects and materials in file order, with
// their counts.
struct Mesh3DS {
  int objectCount = 0;
  int materialCount = 0;
  std::vector<MeshMaterial> materials;
  std::vector<MeshObject> objects;
};
