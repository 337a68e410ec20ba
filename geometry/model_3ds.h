// A 3DS model: its mesh objects and materials, loaded once and drawn in one
// of three styles (plain, cel-shaded, bump-mapped) with immediate-mode GL.
//
// Call order: construct (empty, no GL needed) -> load or loadCelShaded once
// during the loading screen (needs the GL context for textures) -> draw every
// frame after the caller set camera and model transforms. The model owns its
// arrays and its texture tables; the GL textures belong to the context and
// live until the program ends (nothing is unloaded).
//
// Failures: load returns nothing; a file that cannot be read leaves the model
// empty after a message box (see loader_3ds.h), and an empty model draws
// nothing. Textures that fail to load hold what the TextureManager returned.
//
// GL state left behind by draw: see the three draw functions below.
#pragma once

#include <vector>

#include "geometry/light.h"
#include "geometry/loader_3ds.h"
#include "geometry/mesh_3ds.h"
#include "geometry/vector_math.h"

constexpr int RENDER_PLAIN = 0;
constexpr int RENDER_CEL = 1;
constexpr int RENDER_BUMP = 2;

constexpr int SHADE_TABLE_SIZE = 32;

// drawCel's scratch for leaving out the outline of faces wholly behind what
// the fill drew: the depth read back under the model's screen box, its
// farthest value per 4 x 4 tile and the corners in window coordinates.
struct OutlineCulling {
  std::vector<float> depth;
  std::vector<float> tileFarthest;
  std::vector<Vector3> window;
};

// The mesh it draws is its own base: the reader fills it in place.
class Model3DS : public Mesh3DS {
 public:
  // An empty model: no objects, default light, black outline, no shade texture.
  Model3DS() = default;

  // Reads the file and loads its textures; plain or bump-mapped style. What
  // the reader says about the file is shown in message boxes.
  void load(const char* path, bool bumpMapped);

  // load(path, false), then the cel style: the light's position is the
  // eye-space light direction, (r, g, b) the outline colour (0 or 1 each),
  // lineWidth its width in pixels. Creates the 1D shade texture.
  void loadCelShaded(const char* path, Light light, int r, int g, int b, int lineWidth);

  // Draws in the style chosen at load time (any other renderMode: plain).
  void draw();

  Loader3DS loader;
  unsigned int textures[MAX_MODEL_MATERIALS] = {};
  int renderMode = RENDER_PLAIN;
  Light light;
  Vector3 outlineColour;
  float outlineWidth = 0.0f;
  unsigned int shadeTexture = 0xFFFFFFFFu;  // none yet
  float shadeTable[SHADE_TABLE_SIZE][3] = {};
  bool bumpMapped = false;
  unsigned int normalMaps[MAX_MODEL_MATERIALS] = {};
  std::vector<float> shadeCoords;  // drawCel's per-vertex shade, refilled every draw
  // Set by loadCelShaded on a software rasteriser, where reading the depth
  // back is a copy rather than a stall.
  bool cullHiddenOutlines = false;
  OutlineCulling outlineCulling;
  std::vector<unsigned int> outlineFaces;  // drawCel's outlined faces, refilled every draw
  unsigned int plainList = 0;              // drawPlain's display list, 0 until the first plain draw

 private:
  // Textured or material-coloured triangles lit by the current GL lighting.
  // Leaves GL_TEXTURE_2D as the last object needed it and the colour white
  // or the last material colour. The first call records the calls in a
  // display list (the mesh never changes after load); later ones replay it.
  void drawPlain();
  // The calls of drawPlain, as recorded into its list.
  void issuePlain();

  // Shaded fill through the 1D shade texture, then the back-face outline;
  // on a software rasteriser without the faces whose outline the depth the
  // fill left (read back once per object) hides at every pixel.
  // Leaves GL_TEXTURE_1D enabled, back faces in line mode, blending on with
  // (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), lighting off, depth test on with
  // GL_LESS, face culling on (back).
  void drawCel();

  // DOT3 bump mapping on texture units 0 and 1 plus the light marker. Leaves
  // the modelview as a translation to (0, 0, 120), lighting and colour
  // material on, texture unit 1 active, both units reset to GL_MODULATE.
  void drawBump();

  // Fills shadeTable: 0.4 for entries 0-7, 0.9 for 8-27, 1.0 for 28-31.
  void buildShadeTable();
};

// The cel shade coordinate of a normal: n turned by the 3x3 block of m,
// dotted with the normalised l, 0 (never -0) when it faces away.
float celIntensity(Vector3 n, Vector3 l, Matrix4 m);

// The light vector of bump mapping in tangent space, range-compressed to a
// colour: (T.L, B.L, N.L) * 0.5 + 0.5 with L = normalize(lightPos - vertex).
Vector3 tangentSpaceLightColour(const MeshObject& object, int vertex, const Vector3& lightPos);
