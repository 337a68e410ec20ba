#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "effects/particle_system.h"

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

TEST(ParticleUpdate, BouncesOnTheFloorPlaneWithFactorOneAndZero) {
  for (float factor : {1.0f, 0.0f}) {
    SCOPED_TRACE(factor);
    ParticleSystem ps;
    makeDeterministic(ps);
    ps.lifetime = 100.0f;
    ps.velocity = Vector3(1.0f, -1.0f, 0.5f);
    ps.addCollisionPlane(Vector3(0, 1, 0), Vector3(0, -0.3f, 0), factor, COLLIDE_BOUNCE);
    ps.update(1.5f);
    Particle* p = ps.activeList;
    ASSERT_NE(p, nullptr);

    ps.update(0.25f);  // y = -0.25: in front of the plane
    EXPECT_FLOAT_EQ(p->position.y, -0.25f);
    ps.update(0.25f);  // y would be -0.5: behind it, so back and bounced
    EXPECT_FLOAT_EQ(p->position.x, 0.25f);
    EXPECT_FLOAT_EQ(p->position.y, -0.25f);
    EXPECT_FLOAT_EQ(p->velocity.x, 1.0f);
    EXPECT_FLOAT_EQ(p->velocity.y, factor);
    EXPECT_FLOAT_EQ(p->velocity.z, 0.5f);
  }
}

// One move after the release: gravity first, then the drag toward the wind
// with the velocity gravity left, then the position with the new velocity.
TEST(ParticleUpdate, GravityAndDragMoveByTheirComputedSteps) {
  struct Case {
    const char* name;
    Vector3 velocity, gravity, wind;
    bool drag;
    float elapsed;
    Vector3 wantVelocity, wantPosition;  // worked out by hand
  };
  const Case cases[] = {
      {"gravity only",
       {1, 0, 0},
       {0, -0.98f, 0},
       {0, 0.2f, 0.2f},
       false,
       0.5f,
       {1, -0.49f, 0},
       {1.5f, 1.755f, 3}},
      {"gravity then drag",
       {1, 0, 0},
       {0, -0.98f, 0},
       {0, 0.2f, 0.2f},
       true,
       0.5f,
       {0.5f, -0.145f, 0.1f},
       {1.25f, 1.9275f, 3.05f}},
      {"drag only",
       {2, 0, -1},
       {0, 0, 0},
       {0, 1, 0},
       true,
       0.25f,
       {1.5f, 0.25f, -0.75f},
       {1.375f, 2.0625f, 2.8125f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParticleSystem ps;
    makeDeterministic(ps);
    ps.lifetime = 100.0f;
    ps.position = Vector3(1, 2, 3);
    ps.velocity = c.velocity;
    ps.gravity = c.gravity;
    ps.wind = c.wind;
    ps.airResistance = c.drag;
    ps.update(1.5f);  // the release: no move yet
    Particle* p = ps.activeList;
    ASSERT_NE(p, nullptr);
    ps.update(c.elapsed);
    EXPECT_FLOAT_EQ(p->velocity.x, c.wantVelocity.x);
    EXPECT_FLOAT_EQ(p->velocity.y, c.wantVelocity.y);
    EXPECT_FLOAT_EQ(p->velocity.z, c.wantVelocity.z);
    EXPECT_FLOAT_EQ(p->position.x, c.wantPosition.x);
    EXPECT_FLOAT_EQ(p->position.y, c.wantPosition.y);
    EXPECT_FLOAT_EQ(p->position.z, c.wantPosition.z);
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
    makeDeterministic(ps);
    ps.lifetime = 100.0f;
    ps.position = Vector3(0, -0.25f, 0);
    ps.velocity = Vector3(1, -1, 0);
    for (const CollisionPlane& plane : c.added)
      ps.addCollisionPlane(plane.normal, plane.point, plane.bounceFactor, plane.response);
    ps.update(1.5f);
    Particle* p = ps.activeList;
    ASSERT_NE(p, nullptr);
    ps.update(0.25f);
    EXPECT_FLOAT_EQ(p->position.x, 0.0f);
    EXPECT_FLOAT_EQ(p->position.y, -0.25f);
    EXPECT_FLOAT_EQ(p->velocity.x, c.wantVelocity.x);
    EXPECT_FLOAT_EQ(p->velocity.y, c.wantVelocity.y);
    EXPECT_FLOAT_EQ(p->velocity.z, c.wantVelocity.z);
    EXPECT_EQ(p->birthTime < 0.0f, c.recycled);
  }
}

// Stuck on the floor, a particle stays where it was before the crossing, at
// rest, until its lifetime is over.
TEST(ParticleUpdate, StickStopsTheParticleWhereItWas) {
  ParticleSystem ps;
  makeDeterministic(ps);
  ps.lifetime = 100.0f;
  ps.position = Vector3(0.5f, -0.1f, 0);
  ps.velocity = Vector3(0.2f, -1.0f, 0);
  ps.addCollisionPlane(Vector3(0, 1, 0), Vector3(0, -0.3f, 0), 1.0f, COLLIDE_STICK);
  ps.update(1.5f);
  Particle* p = ps.activeList;
  ps.update(0.1f);  // to (0.52, -0.2): still free
  for (int i = 0; i < 4; ++i) {
    ps.update(0.15f);  // -0.35 would be behind the floor
    EXPECT_FLOAT_EQ(p->position.x, 0.52f);
    EXPECT_FLOAT_EQ(p->position.y, -0.2f);
    EXPECT_EQ(p->velocity.x, 0.0f);
    EXPECT_EQ(p->velocity.y, 0.0f);
  }
  EXPECT_EQ(ps.activeCount, 1u);
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

TEST(ParticleUpdate, RecycledParticleStaysOneMoreUpdate) {
  ParticleSystem ps;
  makeDeterministic(ps);
  ps.lifetime = 100.0f;
  ps.velocity = Vector3(0, -1.0f, 0);
  ps.addCollisionPlane(Vector3(0, 1, 0), Vector3(0, -0.3f, 0), 1.0f, COLLIDE_RECYCLE);
  ps.update(1.5f);
  Particle* p = ps.activeList;

  ps.update(0.5f);  // crosses the plane: moved on, still live and drawn
  EXPECT_EQ(ps.activeList, p);
  EXPECT_EQ(ps.activeCount, 1u);
  EXPECT_FLOAT_EQ(p->position.y, -0.5f);
  EXPECT_FLOAT_EQ(p->birthTime, 1.5f - 100.0f);

  ps.update(0.25f);
  EXPECT_EQ(ps.activeCount, 0u);
  EXPECT_EQ(ps.freeList, p);
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
        bool same = true;
        for (int i = 0; i < 1000; ++i) {
          Vector3 want = ref.unitVector();
          Vector3 got = randomUnitVector();
          same = same && got.x == want.x && got.y == want.y && got.z == want.z;
        }
        std::exit(same ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");

  // A short fountain in two separate runs writes the same particles.
  std::string paths[2] = {::testing::TempDir() + "particles_run0.txt",
                          ::testing::TempDir() + "particles_run1.txt"};
  for (const std::string& path : paths) {
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
  }
  std::ifstream run0(paths[0]), run1(paths[1]);
  std::stringstream text0, text1;
  text0 << run0.rdbuf();
  text1 << run1.rdbuf();
  EXPECT_GT(text0.str().size(), 40u * 20u);
  EXPECT_EQ(text0.str(), text1.str());
  std::remove(paths[0].c_str());
  std::remove(paths[1].c_str());
}
