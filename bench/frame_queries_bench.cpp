// The demo's segment queries of one frame: 8 height tests along the walker's
// column, 8 head-height collision tests and 7 x 7 x 8 grass tests, against the
// level's eight quads. BM_FrameQueries runs the demo's own three queries on
// its own tables; the others run the same segments through a copy of the
// frame: with the plain quad test, with the prepared one (every quad tested,
// in index order, as the loops are written), and through glm's ray/triangle
// test, the comparison.
#define GLM_ENABLE_EXPERIMENTAL
#include <glm/gtx/intersect.hpp>
#include <glm/vec3.hpp>

#include <benchmark/benchmark.h>

#include <tvx_collision/collision.h>

#include "demo.h"

#include <cmath>
#include <cstdint>

namespace {

using TVX_Collision::TGLVECTOR;

// The level and the grass probe columns, as the demo builds them.
struct Level {
  TGLVECTOR corner[8][4];
};

Level make_level() {
  rayheight::BUILD_SCENE_TABLES();
  Level v{};
  for (int q = 0; q < 8; ++q) {
    v.corner[q][0] = rayheight::Q[q].P1;
    v.corner[q][1] = rayheight::Q[q].P2;
    v.corner[q][2] = rayheight::Q[q].P3;
    v.corner[q][3] = rayheight::Q[q].P4;
  }
  return v;
}
const Level LEVEL_TABLE = make_level();
const auto& LEVEL = LEVEL_TABLE.corner;

struct Grass {
  TGLVECTOR low[7][7];
  TGLVECTOR high[7][7];
};

Grass make_grass() {
  rayheight::BUILD_SCENE_TABLES();
  Grass g{};
  for (int i = 0; i < 7; ++i)
    for (int l = 0; l < 7; ++l) {
      g.low[i][l] = rayheight::POS1[i][l];
      g.high[i][l] = rayheight::POS2[i][l];
    }
  return g;
}

// The walker goes round a circle in the open lower area, one step per frame.
constexpr int PATH = 64;
struct Path {
  float x[PATH], z[PATH];
};

Path make_path() {
  Path p{};
  for (int i = 0; i < PATH; ++i) {
    p.x[i] = float(3.0 * std::cos(i * (6.283185307179586 / PATH)));
    p.z[i] = float(2.0 + 3.0 * std::sin(i * (6.283185307179586 / PATH)));
  }
  return p;
}

struct FrameState {
  TGLVECTOR P{}, TMEP{}, TMEP1{}, TMP{};
  bool CHECKCOLL = false;
  TGLVECTOR PP[7][7]{};
};

template <typename QuadTest>
void frame(FrameState& s, const Grass& grass, float wx, float wz, QuadTest&& line_in_quad) {
  const TGLVECTOR p1{wx, -1, wz}, p2{wx, 15, wz};
  for (int i = 0; i < 8; ++i) line_in_quad(p1, s.TMEP, i, s.P);
  s.TMEP = {p2.X, float(static_cast<long double>(s.P.Y) + 2.0L), p2.Z};
  s.CHECKCOLL = false;
  for (int i = 0; i < 8 && !s.CHECKCOLL; ++i) s.CHECKCOLL = line_in_quad(s.TMEP, s.TMEP1, i, s.TMP);
  s.TMEP1 = {s.TMEP.X, float(static_cast<double>(s.TMEP.Y) + 0.25), s.TMEP.Z};
  for (int i = 0; i < 7; ++i)
    for (int l = 0; l < 7; ++l)
      for (int m = 0; m < 8; ++m) line_in_quad(grass.low[i][l], grass.high[i][l], m, s.PP[i][l]);
}

template <typename QuadTest>
void run_frames(benchmark::State& state, QuadTest&& line_in_quad) {
  const Grass grass = make_grass();
  const Path path = make_path();
  FrameState s;
  int step = 0;
  for (auto _ : state) {
    frame(s, grass, path.x[step], path.z[step], line_in_quad);
    step = (step + 1) % PATH;
    benchmark::DoNotOptimize(s);
    benchmark::ClobberMemory();
  }
  state.counters["quad_tests_per_frame"] = 408;
}

// The demo's queries, the walker's column moved along the same path; the
// collision query then tests all eight quads in every frame.
void BM_FrameQueries(benchmark::State& state) {
  rayheight::RESET_DEMO_STATE();
  const Path path = make_path();
  int step = 0;
  for (auto _ : state) {
    rayheight::P1.X = rayheight::P2.X = path.x[step];
    rayheight::P1.Z = rayheight::P2.Z = path.z[step];
    rayheight::HEIGHT_QUERY();
    rayheight::COLLISION_QUERY();
    rayheight::GRASS_QUERY();
    step = (step + 1) % PATH;
    benchmark::ClobberMemory();
  }
  state.counters["quad_tests_per_frame"] = 408;
}
BENCHMARK(BM_FrameQueries);

// The loops as written, with the plain quad test on the corners.
void BM_FrameQueriesPlain(benchmark::State& state) {
  run_frames(state, [](TGLVECTOR a, TGLVECTOR b, int q, TGLVECTOR& out) {
    return TVX_Collision::LINEINQUAD(a, b, LEVEL[q][0], LEVEL[q][1], LEVEL[q][2], LEVEL[q][3], out);
  });
}
BENCHMARK(BM_FrameQueriesPlain);

// The loops as written, each quad's segment-independent work done once.
void BM_FrameQueriesPrepared(benchmark::State& state) {
  TVX_Collision::TPREPAREDQUAD quads[8];
  for (int q = 0; q < 8; ++q)
    quads[q] = TVX_Collision::PREPAREQUAD(LEVEL[q][0], LEVEL[q][1], LEVEL[q][2], LEVEL[q][3]);
  run_frames(state, [&quads](TGLVECTOR a, TGLVECTOR b, int q, TGLVECTOR& out) {
    return TVX_Collision::LINEINPREPAREDQUAD(a, b, quads[q], out);
  });
}
BENCHMARK(BM_FrameQueriesPrepared);

glm::vec3 to_glm(TGLVECTOR v) { return {v.X, v.Y, v.Z}; }

// Segment a-b against one triangle: a ray hit whose distance along b - a lies
// strictly between the ends.
inline bool glm_segment_triangle(glm::vec3 a, glm::vec3 dir, glm::vec3 v0, glm::vec3 v1,
                                 glm::vec3 v2, TGLVECTOR& out) {
  glm::vec2 bary;
  float distance;
  if (!glm::intersectRayTriangle(a, dir, v0, v1, v2, bary, distance)) return false;
  if (!(distance > 0.0f && distance < 1.0f)) return false;
  const glm::vec3 p = a + dir * distance;
  out = {p.x, p.y, p.z};
  return true;
}

void BM_FrameQueriesGlm(benchmark::State& state) {
  run_frames(state, [](TGLVECTOR a, TGLVECTOR b, int q, TGLVECTOR& out) {
    const glm::vec3 ga = to_glm(a), dir = to_glm(b) - ga;
    const glm::vec3 A = to_glm(LEVEL[q][0]), B = to_glm(LEVEL[q][1]), C = to_glm(LEVEL[q][2]),
                    D = to_glm(LEVEL[q][3]);
    if (glm_segment_triangle(ga, dir, A, B, C, out)) return true;
    return glm_segment_triangle(ga, dir, C, B, D, out);
  });
}
BENCHMARK(BM_FrameQueriesGlm);

}  // namespace
