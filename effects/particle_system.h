// A particle emitter simulated on the processor and drawn in immediate mode.
//
// Call order: construct; write the configuration fields, setTextureFile and
// any number of addCollisionPlane; init once with a current GL context; then
// every frame update(elapsed) followed by render(). The system keeps no clock
// of its own: its time is the sum of the elapsed times passed to update.
//
// Ownership: the system owns its particle and plane nodes and frees them when
// it is destroyed; the texture belongs to the TextureManager; the texture
// path is stored as a pointer and must outlive init.
//
// Failures: update returns 0x8007000E when a particle node cannot be
// allocated (everything released so far stays consistent, and the next
// release tries again); a texture that fails to load leaves NO_TEXTURE in
// textureId and is bound unchanged. init always returns true.
//
// Random numbers come from one linear congruential generator shared by every
// system in the process; its state starts at 1 and is never reseeded, so the
// same sequence of updates gives the same particles in every run.
#pragma once

#include <cstdint>

#include "geometry/vector_math.h"
#include "resources/texture_manager.h"

// Responses of a collision plane.
constexpr int COLLIDE_BOUNCE = 0;
constexpr int COLLIDE_STICK = 1;
constexpr int COLLIDE_RECYCLE = 2;

// Results of classifyPoint.
constexpr int PLANE_FRONT = 0;
constexpr int PLANE_BACK = 1;
constexpr int PLANE_ON = 2;

// Drawing modes.
constexpr int RENDER_QUADS = 0;
constexpr int RENDER_POINT_SPRITES = 1;

// The result of update when a particle node cannot be allocated.
constexpr uint32_t PARTICLE_OUT_OF_MEMORY = 0x8007000Eu;

// One particle: a node of either the live list or the spare list.
struct Particle {
  Vector3 position;
  Vector3 velocity;
  float birthTime = 0.0f;
  Particle* next = nullptr;
};

// One plane the particles collide with; the normal points to the free side
// and is used as given (not normalised).
struct CollisionPlane {
  Vector3 normal;
  Vector3 point;
  float bounceFactor = 0.0f;
  int response = COLLIDE_BOUNCE;
  CollisionPlane* next = nullptr;
};

class ParticleSystem {
 public:
  // Sets the defaults; calls no GL function.
  ParticleSystem() = default;
  // Frees every particle and plane node.
  ~ParticleSystem();
  ParticleSystem(const ParticleSystem&) = delete;
  ParticleSystem& operator=(const ParticleSystem&) = delete;

  // Stores the pointer (not the text) of the particle image's path.
  void setTextureFile(const char* path);

  // Puts a new plane at the head of the plane list.
  void addCollisionPlane(Vector3 normal, Vector3 point, float bounceFactor, int response);

  // Loads the texture, reads the largest point size and makes it the GL
  // point size; true whether or not the image loaded.
  bool init();

  // Advances the system by elapsed seconds: retires, moves and collides the
  // live particles, then releases at most one batch. 0 or 0x8007000E.
  uint32_t update(float elapsed);

  // Draws the live particles in one colour with the caller's GL state: as
  // camera-facing quads or as point sprites. Sets no blend, depth or
  // texture-enable state.
  void render();

  // Simulation state, written only by the system itself.
  Particle* activeList = nullptr;       // newest first
  Particle* freeList = nullptr;         // last retired first
  CollisionPlane* planeList = nullptr;  // last added first
  uint32_t activeCount = 0;
  float currentTime = 0.0f;
  float lastReleaseTime = 0.0f;
  float maxPointSize = 0.0f;
  unsigned int textureId = NO_TEXTURE;

  // Configuration, written by the owner; may change between frames.
  int renderMode = RENDER_QUADS;
  uint32_t maxParticles = 1;
  uint32_t releaseCount = 1;
  float releaseInterval = 1.0f;
  float lifetime = 1.0f;
  float size = 1.0f;
  Vector3 color = Vector3(1.0f, 1.0f, 1.0f);
  Vector3 position;
  Vector3 velocity;
  Vector3 gravity;
  Vector3 wind;
  bool airResistance = true;
  float velocityVariation = 1.0f;

  const char* textureFile = nullptr;

 private:
  // Moves one live particle by elapsed seconds and applies every plane.
  void moveParticle(Particle* p, float elapsed);

  // One batch of releaseCount particles at the emitter.
  uint32_t release();

  // The two drawing modes.
  void renderQuads();
  void renderPointSprites();
};

// The shared generator's state; the program never sets it.
uint32_t particleRandomState();

// A direction uniformly distributed on the unit sphere; draws two integers.
Vector3 randomUnitVector();

// PLANE_FRONT, PLANE_BACK (a collision) or PLANE_ON (within 0.001 of it).
int classifyPoint(const Vector3& point, const CollisionPlane& plane);
