#include "effects/particle_system.h"

#include <GL/glew.h>

#include <cmath>
#include <new>

// The shared generator: state = state * 214013 + 2531011 (mod 2^32), and
// each draw yields bits 16 to 30 of the new state.
static uint32_t randomState = 1;

static int nextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

uint32_t particleRandomState() { return randomState; }

Vector3 randomUnitVector() {
  // 3.0518509e-5 is 1 / 32767 as a float.
  float z = static_cast<float>(2 * nextRandom()) * 3.0518509e-5f - 1.0f;
  float rho = std::sqrt(1.0f - z * z);
  float theta = static_cast<float>(nextRandom()) * 3.0518509e-5f * 6.2831855f - 3.1415927f;
  return Vector3(rho * std::cos(theta), rho * std::sin(theta), z);
}

int classifyPoint(const Vector3& point, const CollisionPlane& plane) {
  Vector3 toPlane = plane.point - point;
  float d = toPlane.dot(plane.normal.x, plane.normal.y, plane.normal.z);
  if (d < -0.001f) return PLANE_FRONT;
  if (d > 0.001f) return PLANE_BACK;
  return PLANE_ON;
}

static void freeChain(Particle* p) {
  while (p) {
    Particle* next = p->next;
    delete p;
    p = next;
  }
}

ParticleSystem::~ParticleSystem() {
  freeChain(activeList);
  freeChain(freeList);
  while (planeList) {
    CollisionPlane* next = planeList->next;
    delete planeList;
    planeList = next;
  }
}

void ParticleSystem::setTextureFile(const char* path) { textureFile = path; }

void ParticleSystem::addCollisionPlane(Vector3 normal, Vector3 point, float bounceFactor,
                                       int response) {
  CollisionPlane* plane = new CollisionPlane;
  plane->normal = normal;
  plane->point = point;
  plane->bounceFactor = bounceFactor;
  plane->response = response;
  plane->next = planeList;
  planeList = plane;
}

bool ParticleSystem::init() {
  textureId = TextureManager::instance()->loadTexture(textureFile, 1, NO_TEXTURE);
  glGetFloatv(GL_POINT_SIZE_MAX_ARB, &maxPointSize);
  glPointSize(maxPointSize);
  return true;
}

void ParticleSystem::moveParticle(Particle* p, float elapsed) {
  p->velocity = p->velocity + gravity * elapsed;
  if (airResistance) p->velocity = p->velocity + (wind - p->velocity) * elapsed;
  Vector3 oldPosition = p->position;
  p->position = p->position + p->velocity * elapsed;

  for (CollisionPlane* plane = planeList; plane; plane = plane->next) {
    if (classifyPoint(p->position, *plane) != PLANE_BACK) continue;
    switch (plane->response) {
      case COLLIDE_BOUNCE: {
        p->position = oldPosition;
        const Vector3& n = plane->normal;
        float vn = p->velocity.dot(n.x, n.y, n.z);
        Vector3 normalPart = n * vn;
        Vector3 tangentPart = p->velocity - normalPart;
        p->velocity = tangentPart - normalPart * plane->bounceFactor;
        break;
      }
      case COLLIDE_STICK:
        p->position = oldPosition;
        p->velocity = Vector3();
        break;
      case COLLIDE_RECYCLE:
        // Still drawn this frame; retired by the next update.
        p->birthTime -= lifetime;
        break;
      default: break;
    }
  }
}

uint32_t ParticleSystem::release() {
  lastReleaseTime = currentTime;
  for (uint32_t i = 0; i < releaseCount; ++i) {
    if (activeCount >= maxParticles) break;
    Particle* p = freeList;
    if (p) {
      freeList = p->next;
    } else {
      p = new (std::nothrow) Particle;
      if (!p) return PARTICLE_OUT_OF_MEMORY;
    }
    p->next = activeList;
    activeList = p;

    p->velocity = velocity;
    if (velocityVariation != 0.0f)
      p->velocity = p->velocity + randomUnitVector() * velocityVariation;
    p->birthTime = currentTime;
    p->position = position;
    ++activeCount;
  }
  return 0;
}

uint32_t ParticleSystem::update(float elapsed) {
  currentTime += elapsed;

  Particle** link = &activeList;
  while (Particle* p = *link) {
    if (currentTime - p->birthTime >= lifetime) {
      *link = p->next;
      p->next = freeList;
      freeList = p;
      --activeCount;
      continue;
    }
    moveParticle(p, elapsed);
    link = &p->next;
  }

  if (currentTime - lastReleaseTime > releaseInterval) return release();
  return 0;
}

void ParticleSystem::render() {
  if (renderMode == RENDER_QUADS)
    renderQuads();
  else if (renderMode == RENDER_POINT_SPRITES)
    renderPointSprites();
}

void ParticleSystem::renderQuads() {
  // The view's horizontal and vertical axes in the current object space.
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  Vector3 right(m[0], m[4], m[8]);
  Vector3 up(m[1], m[5], m[9]);
  float h = size * 0.0033333334f;
  Vector3 lowerLeft = (-right - up) * h;
  Vector3 lowerRight = (right - up) * h;
  Vector3 upperRight = (right + up) * h;
  Vector3 upperLeft = (-right + up) * h;

  glBindTexture(GL_TEXTURE_2D, textureId);
  glColor3f(color.x, color.y, color.z);
  glBegin(GL_QUADS);
  for (Particle* p = activeList; p; p = p->next) {
    Vector3 v = p->position + lowerLeft;
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(v.x, v.y, v.z);
    v = p->position + lowerRight;
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(v.x, v.y, v.z);
    v = p->position + upperRight;
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(v.x, v.y, v.z);
    v = p->position + upperLeft;
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(v.x, v.y, v.z);
  }
  glEnd();
}

void ParticleSystem::renderPointSprites() {
  const float attenuation[3] = {1.0f, 0.0f, 0.01f};
  glPointParameterfvARB(GL_POINT_DISTANCE_ATTENUATION_ARB, attenuation);
  glPointParameterfARB(GL_POINT_FADE_THRESHOLD_SIZE_ARB, 60.0f);
  glPointParameterfARB(GL_POINT_SIZE_MIN_ARB, 1.0f);
  glPointParameterfARB(GL_POINT_SIZE_MAX_ARB, size * 0.25f);
  glTexEnvf(GL_POINT_SPRITE_ARB, GL_COORD_REPLACE_ARB, 1.0f);
  glEnable(GL_POINT_SPRITE_ARB);
  glPointSize(size);

  glBindTexture(GL_TEXTURE_2D, textureId);
  glColor3f(color.x, color.y, color.z);
  glBegin(GL_POINTS);
  for (Particle* p = activeList; p; p = p->next)
    glVertex3f(p->position.x, p->position.y, p->position.z);
  glEnd();
  glDisable(GL_POINT_SPRITE_ARB);
}
