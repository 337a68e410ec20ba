#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "effects/particle_system.h"
#include "support/shapes.h"

namespace {

int listLength(const Particle* p) {
  int n = 0;
  for (; p; p = p->next) ++n;
  return n;
}

// A system without random velocities, gravity or drag: particles move at
// the base velocity only.
void makeDeterministic(ParticleSystem& ps) {
  ps.velocityVariation = 0.0f;
  ps.airResistance = false;
  ps.maxParticles = 100;
}

// Releases one long-lived particle at `from` moving at `speed`; the
// releasing update moves nothing.
Particle* releaseOne(ParticleSystem& ps, Vector3 from, Vector3 speed) {
  makeDeterministic(ps);
  ps.lifetime = 100.0f;
  ps.position = from;
  ps.velocity = speed;
  ps.update(1.5f);
  return ps.activeList;
}

// Reference generator, written out from the definition of the sequence.
struct ReferenceRandom {
  uint32_t state;
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
  Vector3 unitVector() {
    float z = static_cast<float>(2 * next()) * 3.0518509e-5f - 1.0f;
    float rho = std::sqrt(1.0f - z * z);
    float theta = static_cast<float>(next()) * 3.0518509e-5f * 6.2831855f - 3.1415927f;
    return Vector3(rho * std::cos(theta), rho * std::sin(theta), z);
  }
};

}  // namespace

TEST(ParticleUpdate, RetiresAtExactlyTheLifetimeAndReusesTheNode) {
  ParticleSystem ps;
  makeDeterministic(ps);
  ps.releaseInterval = 0.5f;
  ps.lifetime = 1.0f;
  ps.velocity = Vector3(1.0f, 0.0f, 0.0f);

  ASSERT_EQ(ps.update(0.75f), 0u);  // 0.75 > 0.5: first release
  ASSERT_EQ(ps.activeCount, 1u);
  Particle* first = ps.activeList;
  EXPECT_FLOAT_EQ(first->birthTime, 0.75f);
  EXPECT_FLOAT_EQ(first->position.x, 0.0f);  // no move in the releasing update

  ps.update(0.0f);  // elapsed 0: nothing moves, age 0 < 1 stays
  EXPECT_FLOAT_EQ(first->position.x, 0.0f);
  ps.update(0.5f);  // age 0.5: moves
  EXPECT_FLOAT_EQ(first->position.x, 0.5f);
  EXPECT_EQ(ps.activeCount, 1u);  // 0.5 since the release: not strictly more, no batch

  ps.update(0.5f);  // age exactly 1.0: retired, and the batch reuses the node
  EXPECT_EQ(ps.activeCount, 1u);
  EXPECT_EQ(ps.activeList, first);
  EXPECT_EQ(ps.freeList, nullptr);
  EXPECT_FLOAT_EQ(first->birthTime, 1.75f);
  EXPECT_FLOAT_EQ(first->position.x, 0.0f);

  // Lifetime over at an update of elapsed 0: retired all the same.
  ps.lifetime = 0.0f;
  ps.update(0.0f);
  EXPECT_EQ(ps.activeCount, 0u);
  EXPECT_EQ(ps.freeList, first);
}

TEST(ParticleUpdate, ReleasesOnlyWhenStrictlyMoreThanTheIntervalHasPassed) {
  ParticleSystem ps;
  makeDeterministic(ps);
  ps.releaseInterval = 0.5f;
  ps.releaseCount = 3;
  ps.lifetime = 100.0f;

  ps.update(0.5f);  // exactly the interval
  EXPECT_EQ(ps.activeCount, 0u);
  EXPECT_FLOAT_EQ(ps.lastReleaseTime, 0.0f);
  ps.update(0.25f);
  EXPECT_EQ(ps.activeCount, 3u);
  EXPECT_FLOAT_EQ(ps.lastReleaseTime, 0.75f);
  ps.update(2.0f);  // a long frame still releases one batch
  EXPECT_EQ(ps.activeCount, 6u);

  // A count of 0 releases nothing, yet the release time moves on.
  ps.releaseCount = 0;
  ps.update(1.0f);
  EXPECT_EQ(ps.activeCount, 6u);
  EXPECT_FLOAT_EQ(ps.lastReleaseTime, 3.75f);
}

// One move after the release: gravity first, then the drag toward the wind
// with the velocity gravity left, then the position with the new velocity.
TEST(ParticleUpdate, GravityAndDragMoveByTheirComputedSteps) {
  struct Case {
    Vector3 velocity, gravity, wind;
    bool drag;
    float elapsed;
    Vector3 wantVelocity, wantPosition;  // worked out by hand
  };
  const Vector3 down(0, -0.98f, 0), breeze(0, 0.2f, 0.2f);
  const Case cases[] = {
      {{1, 0, 0}, down, breeze, false, 0.5f, {1, -0.49f, 0}, {1.5f, 1.755f, 3}},
      {{1, 0, 0}, down, breeze, true, 0.5f, {0.5f, -0.145f, 0.1f}, {1.25f, 1.9275f, 3.05f}},
      {{2, 0, -1}, {}, {0, 1, 0}, true, 0.25f, {1.5f, 0.25f, -0.75f}, {1.375f, 2.0625f, 2.8125f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    ParticleSystem ps;
    ps.gravity = c.gravity;
    ps.wind = c.wind;
    Particle* p = releaseOne(ps, Vector3(1, 2, 3), c.velocity);
    ps.airResistance = c.drag;
    ps.update(c.elapsed);
    EXPECT_TRUE(same(p->velocity, c.wantVelocity));
    EXPECT_TRUE(same(p->position, c.wantPosition));
  }
}

// From the origin at (1, -1, 0.5), a quarter second leaves the particle in
// front of the floor y = -0.3 and the next one would take it behind.
TEST(ParticleUpdate, EachResponseAtTheFloorPlane) {
  struct Case {
    const char* name;
    int response;
    float factor;
    Vector3 wantPosition, wantVelocity;  // after the crossing
    Vector3 wantNext;                    // one more quarter second on
  };
  const Vector3 before(0.25f, -0.25f, 0.125f);
  const Case cases[] = {
      {"bounce, factor 1", COLLIDE_BOUNCE, 1, before, {1, 1, 0.5f}, {0.5f, 0, 0.25f}},
      {"bounce, factor 0", COLLIDE_BOUNCE, 0, before, {1, 0, 0.5f}, {0.5f, -0.25f, 0.25f}},
      {"stick: at rest where it was", COLLIDE_STICK, 1, before, {}, before},
      // Moved on, still live and drawn; the next update retires it.
      {"recycle", COLLIDE_RECYCLE, 1, {0.5f, -0.5f, 0.25f}, {1, -1, 0.5f}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParticleSystem ps;
    Particle* p = releaseOne(ps, Vector3(), Vector3(1, -1, 0.5f));
    ps.addCollisionPlane(Vector3(0, 1, 0), Vector3(0, -0.3f, 0), c.factor, c.response);
    ps.update(0.25f);
    EXPECT_TRUE(same(p->position, before));
    ps.update(0.25f);
    EXPECT_TRUE(same(p->position, c.wantPosition));
    EXPECT_TRUE(same(p->velocity, c.wantVelocity));
    const bool recycled = c.response == COLLIDE_RECYCLE;
    EXPECT_FLOAT_EQ(p->birthTime, recycled ? 1.5f - 100.0f : 1.5f);
    ps.update(0.25f);
    EXPECT_EQ(ps.activeCount, recycled ? 0u : 1u);
    if (recycled)
      EXPECT_EQ(ps.freeList, p);
    else
      EXPECT_TRUE(same(p->position, c.wantNext));
  }
}

// A particle at (0, -0.25, 0) moving (1, -1, 0) for 0.25 s crosses the floor
// y = -0.3 and the wall x = 0.2 at once. The planes act head first (the last
// added first), each on what the one before it left.
TEST(ParticleUpdate, SeveralPlanesActInListOrder) {
  const CollisionPlane floorStick = {Vector3(0, 1, 0), Vector3(0, -0.3f, 0), 1.0f, COLLIDE_STICK,
                                     nullptr};
  const CollisionPlane wallBounce = {Vector3(-1, 0, 0), Vector3(0.2f, 0, 0), 1.0f, COLLIDE_BOUNCE,
                                     nullptr};
  // Free below y = -0.28: the moved particle is, the one put back is not.
  const CollisionPlane ceilingRecycle = {Vector3(0, -1, 0), Vector3(0, -0.28f, 0), 1.0f,
                                         COLLIDE_RECYCLE, nullptr};
  struct Case {
    const char* name;
    std::vector<CollisionPlane> added;  // in the order of addCollisionPlane
    Vector3 wantVelocity;
    bool recycled;
  };
  const Case cases[] = {
      // The wall is the head: bounced back, then in front of the floor.
      {"stick, then bounce added", {floorStick, wallBounce}, {-1, -1, 0}, false},
      // The floor is the head: stopped, then in front of the wall.
      {"bounce, then stick added", {wallBounce, floorStick}, {0, 0, 0}, false},
      // The bounce puts it back above y = -0.28, where the next plane recycles it.
      {"recycle, then bounce added", {ceilingRecycle, wallBounce}, {-1, -1, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParticleSystem ps;
    Particle* p = releaseOne(ps, Vector3(0, -0.25f, 0), Vector3(1, -1, 0));
    for (const CollisionPlane& plane : c.added)
      ps.addCollisionPlane(plane.normal, plane.point, plane.bounceFactor, plane.response);
    ps.update(0.25f);
    EXPECT_TRUE(same(p->position, Vector3(0, -0.25f, 0)));
    EXPECT_TRUE(same(p->velocity, c.wantVelocity));
    EXPECT_EQ(p->birthTime < 0.0f, c.recycled);
  }
}

TEST(ParticleUpdate, CollidesOnlyBeyondTheBandAroundThePlane) {
  CollisionPlane plane;
  plane.normal = Vector3(0, 1, 0);
  plane.point = Vector3(0, -0.3f, 0);
  EXPECT_EQ(classifyPoint(Vector3(5, -0.3f, 2), plane), PLANE_ON);
  EXPECT_EQ(classifyPoint(Vector3(0, -0.3005f, 0), plane), PLANE_ON);
  EXPECT_EQ(classifyPoint(Vector3(0, -0.2995f, 0), plane), PLANE_ON);
  EXPECT_EQ(classifyPoint(Vector3(0, -0.302f, 0), plane), PLANE_BACK);
  EXPECT_EQ(classifyPoint(Vector3(0, -0.298f, 0), plane), PLANE_FRONT);
}

TEST(ParticleUpdate, PoolNeverExceedsMaxParticles) {
  ParticleSystem ps;
  makeDeterministic(ps);
  ps.maxParticles = 10;
  ps.releaseCount = 4;
  ps.releaseInterval = 0.05f;
  ps.lifetime = 0.5f;
  const float steps[] = {0.06f, 0.02f, 0.11f, 0.3f, 0.07f, 0.5f, 0.01f, 0.09f};
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(ps.update(steps[i % 8]), 0u);
    int live = listLength(ps.activeList);
    ASSERT_EQ(live, static_cast<int>(ps.activeCount));
    ASSERT_LE(live + listLength(ps.freeList), 10);
  }

  // Full and no spare: a release adds nothing, but its time is taken.
  ParticleSystem full;
  makeDeterministic(full);
  full.maxParticles = 2;
  full.releaseCount = 5;
  full.lifetime = 100.0f;
  full.update(1.5f);
  EXPECT_EQ(full.activeCount, 2u);
  full.update(1.5f);
  EXPECT_EQ(full.activeCount, 2u);
  EXPECT_EQ(full.freeList, nullptr);
  EXPECT_FLOAT_EQ(full.lastReleaseTime, 3.0f);
}

TEST(ParticleRandom, SystemsShareOneGeneratorAndDrawOnlyWhenVarying) {
  ParticleSystem still;
  makeDeterministic(still);
  uint32_t before = particleRandomState();
  still.update(1.5f);
  EXPECT_EQ(particleRandomState(), before);

  ParticleSystem a, b;
  a.update(1.5f);
  b.update(1.5f);
  EXPECT_NE(a.activeList->velocity.x, b.activeList->velocity.x);
  ReferenceRandom ref{before};
  ref.unitVector();
  EXPECT_EQ(b.activeList->velocity.z, ref.unitVector().z);  // b drew after a
}

// Runs of the program are separate processes: gtest's threadsafe death tests
// start each child afresh.
TEST(ParticleRandom, EveryRunStartsFromStateOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ReferenceRandom ref{1};
        bool equal = true;
        for (int i = 0; i < 1000; ++i) {
          Vector3 want = ref.unitVector();
          Vector3 got = randomUnitVector();
          equal = equal && got.x == want.x && got.y == want.y && got.z == want.z;
        }
        std::exit(equal ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");

  // A short fountain in two separate runs writes the same particles.
  std::string texts[2];
  for (std::string& text : texts) {
    const std::string path = ::testing::TempDir() + "particles_run.txt";
    EXPECT_EXIT(
        {
          ParticleSystem ps;
          ps.maxParticles = 50;
          ps.releaseCount = 5;
          ps.releaseInterval = 0.05f;
          ps.gravity = Vector3(0, -0.98f, 0);
          ps.addCollisionPlane(Vector3(0, 1, 0), Vector3(0, -0.3f, 0), 1.0f, COLLIDE_BOUNCE);
          for (int i = 0; i < 120; ++i) ps.update(0.016f + 0.001f * (i % 5));
          FILE* f = std::fopen(path.c_str(), "w");
          for (Particle* p = ps.activeList; p; p = p->next)
            std::fprintf(f, "%a %a %a %a\n", p->position.x, p->position.y, p->position.z,
                         p->velocity.x);
          std::exit(std::fclose(f) == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    std::stringstream read;
    read << std::ifstream(path).rdbuf();
    text = read.str();
    std::remove(path.c_str());
  }
  EXPECT_GT(texts[0].size(), 40u * 20u);
  EXPECT_EQ(texts[0], texts[1]);
}
