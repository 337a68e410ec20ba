// The chrome skull reflecting the skybox and two earths (150-185 s).
//
// load fills the cube-map camera table and reads "models/skull.3ds" (plain
// style); init sets the camera, loads the six skybox pictures and the earth
// and creates the 512 x 512 cube map. Each draw shows the world turned by
// skyAngle, the skull textured from the cube map along its normals, presents
// the frame itself (present does nothing), and then renders the six cube-map
// faces for the next frame: into the back buffer, or into an off-screen
// buffer where the window is smaller than 512 pixels in either direction.
// Only the earths move in the faces (the sky around the cube-map cameras
// stands still), so after a face's first rendering only the square where its
// earths are now or were last time is drawn again and copied.
// Missing pictures or model leave those parts untextured or absent; nothing
// fails. draw leaves the main camera (projection and modelview) in place for
// the next frame; anything drawn after it lands in a presented back buffer.
#pragma once

#include "engine/scene.h"
#include "geometry/model_3ds.h"
#include "geometry/vector_math.h"

// World turn in degrees, advanced by every draw (1 on the first frame of the
// process, then 2 ... 359, 0, 1 ...); not reset by init.
extern int skyAngle;
constexpr float SKYBOX_HALF_SIZE = 3.0f;

class SkullSkyboxScene : public Scene {
 public:
  // Releases the off-screen buffer, in the GL context the scene drew in.
  ~SkullSkyboxScene() override;

  bool load() override;
  void init() override;
  void draw() override;
  // The frame was presented inside draw.
  void present() override;

  // The dynamic cube map (0 before init).
  unsigned int cubeMapTexture() const { return cubeMap; }

  // The off-screen framebuffer (0 until a face was rendered off screen).
  unsigned int offScreenFramebuffer() const { return captureFramebuffer; }

  // The next capture renders every face whole (init does this too).
  void invalidateCubeMap();

  // Pixels x0 <= x < x1, y0 <= y < y1 of a face; empty when x0 >= x1.
  struct FaceRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
  };
  // Where the earths can cover face i at the current orbit time: the square
  // around their bounding boxes' projections, widened by two pixels.
  FaceRect earthRect(int face) const;

 private:
  // The six textured quads of the sky cube around the origin.
  void drawSkybox();
  // What the cube-map cameras see: the two earths and the sky cube.
  void drawEnvironment();
  // Renders the six faces around the origin and copies them into cubeMap.
  void captureCubeMap();
  // The two earths on their orbits; the inner one at innerRadius.
  void drawEarths(float innerRadius);

  enum { DOWN, UP, LEFT, RIGHT, BACK, FRONT };
  unsigned int skyboxTextures[6] = {};
  unsigned int earthTexture = 0;
  unsigned int earthLists = 0;  // the inner and the outer sphere, made by init
  unsigned int cubeMap = 0;
  unsigned int faceTargets[6] = {};  // GLenum
  Vector3 faceViews[6][2];           // look direction, up vector
  FaceRect earthsDrawn[6];           // each face's earths at its last capture
  bool facesWhole = false;           // every face has been rendered whole
  Model3DS model;
  double orbitTime = 0.0;  // frames, 0 to 359
  // Off-screen target for the faces when the window is too small.
  unsigned int captureFramebuffer = 0;
  unsigned int captureColour = 0;
  unsigned int captureDepth = 0;
};
