// The 3DS reader on files made by the generator's writer, good and damaged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "data/generator/writer_3ds.h"
#include "geometry/model_3ds.h"
#include "support/shapes.h"

using writer3ds::ChunkWriter;

namespace {

struct Parsed {
  Model3DS model;
  std::string messages;  // "caption: text" lines of what the reader said
};

Parsed parse(const std::vector<uint8_t>& bytes, bool tangents = false) {
  Parsed out;
  std::vector<uint8_t> copy = bytes;
  if (copy.empty()) copy.push_back(0);  // fmemopen refuses an empty buffer
  FILE* stream = fmemopen(copy.data(), bytes.size(), "rb");
  for (const LoaderMessage& said :
       out.model.loader.importStream(out.model, stream, "mem.3ds", tangents))
    out.messages += std::string(said.caption) + ": " + said.text + "\n";
  std::fclose(stream);
  return out;
}

// A unit quad in z = 0 (two triangles) with coordinates u = x, v = y.
writer3ds::Object quad(const std::string& name, const std::string& material) {
  writer3ds::Object o;
  o.name = name;
  o.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  o.faces = {0, 1, 2, 0, 2, 3};
  o.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
  o.material = material;
  return o;
}

writer3ds::Material material(const std::string& name, uint8_t r, const std::string& texture) {
  writer3ds::Material m;
  m.name = name;
  m.colour[0] = r;
  m.colour[1] = 20;
  m.colour[2] = 30;
  m.textureFile = texture;
  return m;
}

// Every array agrees with its count and every face names existing vertices.
void expectConsistent(const Model3DS& model) {
  ASSERT_EQ(model.objectCount, static_cast<int>(model.objects.size()));
  ASSERT_LE(model.materialCount, MAX_MODEL_MATERIALS);
  for (const MeshObject& o : model.objects) {
    ASSERT_EQ(o.vertexCount, static_cast<int>(o.vertices.size()));
    ASSERT_EQ(o.vertexCount, static_cast<int>(o.normals.size()));
    ASSERT_EQ(o.faceCount, static_cast<int>(o.faces.size()));
    ASSERT_LT(o.materialIndex, std::max(1, model.materialCount));
    if (o.texCoordCount > 0) {
      ASSERT_GE(static_cast<int>(o.texCoords.size()), o.vertexCount);
    }
    for (const MeshFace& f : o.faces) {
      ASSERT_TRUE(f.a >= 0 && f.a < o.vertexCount && f.b >= 0 && f.b < o.vertexCount && f.c >= 0 &&
                  f.c < o.vertexCount);
    }
  }
}

}  // namespace

TEST(Loader3DS, ReadsObjectsMaterialsAndSmoothNormals) {
  Parsed p = parse(
      writer3ds::encodeModel({material("plain", 200, ""), material("bricks", 100, "bricks.jpg")},
                             {quad("first", "bricks"), quad("second", "plain")}));
  const Model3DS& m = p.model;
  EXPECT_EQ(p.messages, "");
  ASSERT_EQ(m.objectCount, 2);
  ASSERT_EQ(m.materialCount, 2);
  EXPECT_STREQ(m.materials[1].name, "bricks");
  EXPECT_STREQ(m.materials[1].textureFile, "bricks.jpg");
  EXPECT_EQ(m.materials[0].colour[0], 200);
  EXPECT_EQ(m.materials[0].colour[2], 30);
  EXPECT_STREQ(m.objects[0].name, "first");
  EXPECT_EQ(m.objects[0].materialIndex, 1);
  EXPECT_TRUE(m.objects[0].hasTexture);
  EXPECT_EQ(m.objects[1].materialIndex, 0);
  EXPECT_FALSE(m.objects[1].hasTexture);

  const MeshObject& o = m.objects[0];
  EXPECT_EQ(o.vertexCount, 4);
  EXPECT_EQ(o.faceCount, 2);
  EXPECT_EQ(o.texCoordCount, 4);
  EXPECT_TRUE(same(o.vertices[2], {1, 1, 0}));
  EXPECT_EQ(o.faces[1].a, 0);
  EXPECT_EQ(o.faces[1].c, 3);
  EXPECT_FLOAT_EQ(o.texCoords[3].v, 1.0f);
  for (const Vector3& n : o.normals) EXPECT_TRUE(same(n, {0, 0, 1}));
  EXPECT_TRUE(o.tangents.empty());  // only built for bump mapping
}

TEST(Loader3DS, NormalsWeighFacesByAreaAndUnusedVerticesStayZero) {
  writer3ds::Object o;
  o.name = "fold";
  // Vertex 0 is shared by a 2 x 2 triangle facing +z and a 1 x 1 one facing +x.
  o.vertices = {0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 1, 0, 0, 0, 1, 5, 5, 5};
  o.faces = {0, 1, 2, 0, 3, 4};
  const Parsed p = parse(writer3ds::encodeModel({}, {o}));
  const MeshObject& obj = p.model.objects[0];
  // Face vectors (0, 0, 4) and (1, 0, 0): the big face dominates.
  EXPECT_TRUE(same(obj.normals[0], Vector3(1, 0, 4) * (1 / std::sqrt(17.0f))));
  EXPECT_TRUE(same(obj.normals[5], {0, 0, 0}));  // unused
}

TEST(Loader3DS, UnknownChunksOfAnyLengthAreSkippedAtEveryLevel) {
  auto junk = [](ChunkWriter& w) {
    for (uint32_t size : {0u, 1u, 7u, 300u}) {
      w.begin(0x1234);
      for (uint32_t i = 0; i < size; ++i) w.u8(static_cast<uint8_t>(0x4D + i));
      w.end();
    }
  };
  ChunkWriter w;
  w.begin(writer3ds::PRIMARY);
  junk(w);
  w.begin(writer3ds::EDITOR);
  w.begin(writer3ds::MESH_VERSION);
  w.u32(3);
  w.end();
  junk(w);
  w.begin(writer3ds::MATERIAL);
  junk(w);
  w.begin(writer3ds::MATERIAL_NAME);
  w.cstr("skin");
  w.end();
  w.begin(writer3ds::TEXTURE_MAP);
  junk(w);
  w.begin(writer3ds::MAPPING_FILE);
  w.cstr("skin.jpg");
  w.end();
  w.end();
  w.end();
  w.begin(writer3ds::OBJECT);
  w.cstr("box");
  junk(w);
  w.begin(writer3ds::TRIANGLE_MESH);
  junk(w);
  w.begin(writer3ds::VERTEX_LIST);
  w.u16(3);
  for (float f : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f}) w.f32(f);
  w.end();
  junk(w);
  w.begin(writer3ds::FACE_LIST);
  w.u16(1);
  for (uint16_t v : {0, 1, 2, 7}) w.u16(v);
  junk(w);  // nested in the face list: read as siblings
  w.begin(writer3ds::FACE_MATERIAL);
  w.cstr("skin");
  w.u16(0);
  w.end();
  w.end();
  w.end();
  w.end();
  w.end();
  w.end();

  Parsed p = parse(w.bytes());
  expectConsistent(p.model);
  ASSERT_EQ(p.model.objectCount, 1);
  ASSERT_EQ(p.model.materialCount, 1);
  EXPECT_STREQ(p.model.materials[0].textureFile, "skin.jpg");
  const MeshObject& o = p.model.objects[0];
  EXPECT_STREQ(o.name, "box");
  EXPECT_EQ(o.vertexCount, 3);
  EXPECT_EQ(o.faceCount, 1);
  EXPECT_TRUE(o.hasTexture);
  EXPECT_TRUE(same(o.normals[0], {0, 0, 1}));
}

TEST(Loader3DS, FaceMaterialTakesFirstMatchOrNone) {
  writer3ds::Object textureFirst = quad("textureFirst", "twin");
  textureFirst.moreMaterials = {"a"};
  writer3ds::Object textureLast = quad("textureLast", "a");
  textureLast.moreMaterials = {"twin"};
  Parsed p = parse(writer3ds::encodeModel(
      {material("a", 1, ""), material("twin", 2, "t1.jpg"), material("twin", 3, "")},
      {quad("unmatched", "nosuch"), quad("dup", "twin"), quad("prefix", "twi"), textureFirst,
       textureLast}));
  EXPECT_EQ(p.model.objects[0].materialIndex, 0);
  EXPECT_FALSE(p.model.objects[0].hasTexture);
  EXPECT_EQ(p.model.objects[1].materialIndex, 1);
  EXPECT_TRUE(p.model.objects[1].hasTexture);
  EXPECT_EQ(p.model.objects[2].materialIndex, 0);  // names match byte for byte, not by prefix
  // Of two materials the last one named is the object's; a texture of either keeps it textured.
  EXPECT_EQ(p.model.objects[3].materialIndex, 0);
  EXPECT_TRUE(p.model.objects[3].hasTexture);
  EXPECT_EQ(p.model.objects[4].materialIndex, 1);
  EXPECT_TRUE(p.model.objects[4].hasTexture);
}

// The binormal comes out as -y where u runs along x and v along y (as
// computed); without coordinates, or with coordinates on one line (det = 0),
// every corner keeps the default frame.
TEST(Loader3DS, TangentFramesAndTheDefaultFrame) {
  const struct {
    const char* name;
    std::vector<float> texCoords;
    float binormalY;
  } cases[] = {
      {"u along x, v along y", {0, 0, 1, 0, 1, 1, 0, 1}, -1},
      {"collinear coordinates", {0, 0, 1, 1, 2, 2, 3, 3}, 1},
      {"no coordinates", {}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writer3ds::Object q = quad("q", "");
    q.texCoords = c.texCoords;
    writer3ds::Object empty;  // a name and nothing else
    empty.name = "empty";
    Parsed p = parse(writer3ds::encodeModel({}, {q, empty}), true);
    expectConsistent(p.model);
    const MeshObject& o = p.model.objects[0];
    EXPECT_EQ(o.texCoordCount, static_cast<int>(c.texCoords.size() / 2));
    ASSERT_EQ(o.tangents.size(), 4u);
    for (int v = 0; v < 4; ++v) {
      EXPECT_TRUE(same(o.tangents[v], {1, 0, 0}));
      EXPECT_TRUE(same(o.binormals[v], {0, c.binormalY, 0}));
      EXPECT_TRUE(same(o.frameNormals[v], {0, 0, 1}));
    }
    EXPECT_EQ(p.model.objects[1].vertexCount, 0);
    EXPECT_EQ(p.model.objects[1].faceCount, 0);
  }
}

TEST(Loader3DS, VersionWarningAboveThreeOnly) {
  const std::string warning =
      "Warning: This 3DS file is over version 3 so it may load incorrectly\n";
  EXPECT_EQ(parse(writer3ds::encodeModel({}, {quad("q", "")}, 3)).messages, "");
  Parsed four = parse(writer3ds::encodeModel({}, {quad("q", "")}, 4));
  EXPECT_EQ(four.messages, warning);
  EXPECT_EQ(four.model.objectCount, 1);  // parsing went on
}

TEST(Loader3DS, MissingOrForeignFilesReportAnErrorAndStayEmpty) {
  Model3DS model;
  // Model3DS::load shows what the reader returns (on stderr when unattended).
  testing::internal::CaptureStderr();
  model.load("models/no-such-model.3ds", false);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Unable to find the file: models/no-such-model.3ds!\n");
  EXPECT_EQ(model.objectCount, 0);

  Parsed p = parse({'M', 'Z', 0, 0, 0, 0, 1, 2, 3});
  EXPECT_EQ(p.messages, "Error: Unable to load PRIMARY chuck from file: mem.3ds!\n");
  EXPECT_EQ(p.model.objectCount, 0);
  EXPECT_EQ(parse({}).messages, "Error: Unable to load PRIMARY chuck from file: mem.3ds!\n");
}

TEST(Loader3DS, EveryTruncationLoadsWhatWasComplete) {
  const std::vector<uint8_t> full =
      writer3ds::encodeModel({material("m", 9, "m.jpg")}, {quad("one", "m"), quad("two", "m")}, 3);
  for (size_t n = 0; n < full.size(); ++n) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + n);
    Parsed p = parse(cut, true);
    SCOPED_TRACE(n);
    expectConsistent(p.model);
    ASSERT_LE(p.model.objectCount, 2);
  }
}

TEST(Loader3DS, LengthsAndCountsBeyondTheirDataAreCut) {
  // A vertex list claiming 1000 vertices holding 3, a face list claiming 50
  // faces holding 2 (one naming vertex 9), coordinates for one vertex only.
  ChunkWriter w;
  w.begin(writer3ds::PRIMARY);
  w.begin(writer3ds::OBJECT);
  w.cstr("liar");
  w.begin(writer3ds::TRIANGLE_MESH);
  w.begin(writer3ds::VERTEX_LIST);
  w.u16(1000);
  for (float f : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f}) w.f32(f);
  w.end();
  w.begin(writer3ds::MAPPING_COORDS);
  w.u16(3);
  w.f32(0.5f);
  w.f32(0.25f);
  w.end();
  w.begin(writer3ds::FACE_LIST);
  w.u16(50);
  for (uint16_t v : {0, 1, 2, 0, 0, 9, 2, 0}) w.u16(v);
  w.end();
  w.end();
  w.end();
  // A second object whose chunk claims 4 GB: cut to what the parent holds.
  w.begin(writer3ds::OBJECT);
  const size_t hugeAt = w.size() - 4;
  w.cstr("greedy");
  w.end();
  w.patchU32(hugeAt, 0xFFFFFFF0u);
  w.begin(0x0001);  // a child shorter than its own header
  w.end();
  w.patchU32(w.size() - 4, 2);
  w.end();

  Parsed p = parse(w.bytes(), true);
  expectConsistent(p.model);
  ASSERT_EQ(p.model.objectCount, 2);
  const MeshObject& o = p.model.objects[0];
  EXPECT_EQ(o.vertexCount, 3);
  EXPECT_EQ(o.faceCount, 1);  // the face naming vertex 9 is dropped
  EXPECT_EQ(o.texCoordCount, 1);
  ASSERT_EQ(o.texCoords.size(), 3u);  // padded to the vertex count
  EXPECT_FLOAT_EQ(o.texCoords[0].u, 0.5f);
  EXPECT_FLOAT_EQ(o.texCoords[2].u, 0.0f);
  EXPECT_STREQ(p.model.objects[1].name, "greedy");
}

TEST(Loader3DS, DeepNestingManyMaterialsAndASecondColour) {
  ChunkWriter w;
  w.begin(writer3ds::PRIMARY);
  w.begin(writer3ds::OBJECT);
  w.cstr("nest");
  for (int i = 0; i < 200000; ++i) w.begin(writer3ds::TRIANGLE_MESH);
  for (int i = 0; i < 200000; ++i) w.end();
  w.end();
  for (int i = 0; i < 150; ++i) {
    w.begin(writer3ds::MATERIAL);
    w.begin(writer3ds::MATERIAL_NAME);
    w.cstr("m" + std::to_string(i));
    w.end();
    w.begin(writer3ds::DIFFUSE);
    w.begin(writer3ds::COLOUR_24);
    for (uint8_t c : {10, 20, 30}) w.u8(c);
    w.end();
    w.begin(writer3ds::COLOUR_24);  // a second colour is skipped
    for (uint8_t c : {99, 99, 99}) w.u8(c);
    w.end();
    w.end();
    w.end();
  }
  w.end();
  Parsed p = parse(w.bytes());
  EXPECT_EQ(p.model.objectCount, 1);
  EXPECT_EQ(p.model.materialCount, MAX_MODEL_MATERIALS);
  EXPECT_STREQ(p.model.materials[99].name, "m99");
  EXPECT_EQ(p.model.materials[5].colour[0], 10);
  EXPECT_EQ(p.model.materials[5].colour[2], 30);
}
