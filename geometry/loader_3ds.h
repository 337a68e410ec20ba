// The 3DS file reader behind Model3DS::load.
//
// Call order: a Model3DS owns one Loader3DS; Model3DS::load calls import
// once on the model's mesh, which opens the file, reads it strictly front to
// back into the mesh, builds the vertex normals (and the tangent frames when
// asked) and closes the file.
// importStream does the same on a stream the caller opened and still owns.
//
// Failures: an unreadable file or a file that is not a 3DS file returns an
// "Error" message and leaves the model empty; a version above 3 returns a
// "Warning" and parsing goes on. The caller shows them (Model3DS::load, as
// message boxes). Damaged files never make the reader leave a
// chunk or the file: a chunk that claims more than its parent holds is cut to
// the parent, a count larger than its data is cut to the data, a truncated
// file ends the parse, faces naming vertices that do not exist are dropped,
// and whatever was read before the damage is kept.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "geometry/mesh_3ds.h"
#include "geometry/vector_math.h"

// One chunk being read.
struct ChunkHeader {
  uint16_t id = 0;
  uint32_t length = 0;     // bytes including the 6-byte header
  uint32_t bytesRead = 0;  // bytes of this chunk consumed so far
};

// What the reader has to say about a file, as a message box would show it.
struct LoaderMessage {
  std::string text;
  const char* caption;  // "Error" or "Warning"
};

class Loader3DS {
 public:
  // Reads the file at path into the mesh (emptied first); what went wrong,
  // in file order.
  std::vector<LoaderMessage> import(Mesh3DS& model, const char* path, bool computeTangents);

  // As import, from an open stream; path is only used in messages.
  std::vector<LoaderMessage> importStream(Mesh3DS& model, FILE* stream, const char* path,
                                          bool computeTangents);

 private:
  // Children of the primary chunk and of the editor block.
  void processMain(Mesh3DS& model, ChunkHeader& parent, int depth);
  // Children of a named object and of its triangle mesh.
  void processObject(Mesh3DS& model, MeshObject& object, ChunkHeader& parent, int depth);
  // Children of a material block and of its texture map.
  void processMaterial(MeshMaterial& material, ChunkHeader& parent, int depth);

  // Reads the next child header inside parent; false when there is no room
  // for one or the file ended. The child's length is cut to what parent holds.
  bool readChild(ChunkHeader& parent, ChunkHeader& child);
  // Reads up to n bytes of chunk's remaining data; returns the count read.
  uint32_t readData(ChunkHeader& chunk, void* dst, uint32_t n);
  // Reads and discards the rest of chunk.
  void skipRest(ChunkHeader& chunk);
  // Reads the rest of chunk into a field of size bytes, discarding the excess.
  void readRestInto(ChunkHeader& chunk, void* field, uint32_t size);
  // Reads a NUL-terminated string of chunk into a 255-byte field.
  void readName(ChunkHeader& chunk, char* field);
  // The remaining bytes of chunk.
  static uint32_t remaining(const ChunkHeader& chunk) { return chunk.length - chunk.bytesRead; }

  FILE* file = nullptr;
  ChunkHeader current;                  // the primary chunk
  ChunkHeader scratch;                  // a header read on the side (editor block, colour)
  bool ended = false;                   // the file ended early: stop everything
  std::vector<LoaderMessage> messages;  // of the import under way
};

// The tangent frame of a textured triangle at corner p (Q and R follow it):
// tangent, binormal, normal as computed, not normalised. Texture coordinates
// with |det| < 0.0001 give (1, 0, 0), (0, 1, 0), (0, 0, 1).
void triangleTangentFrame(const Vector3& p, const Vector3& q, const Vector3& r, const float uvP[2],
                          const float uvQ[2], const float uvR[2], Vector3& tangent,
                          Vector3& binormal, Vector3& normal);

// Smooth area-weighted normals of every vertex; unused vertices get (0, 0, 0).
void buildVertexNormals(MeshObject& object);

// Tangent, binormal and frame normal of every vertex (bump mapping).
void buildTangentFrames(MeshObject& object);
