// Times of the geometry checks and the wide-path outline on large generated shapes.
#include <chrono>
#include <cstdio>
#include <random>

#include "editor/db/path_outline.h"
#include "utilib/geometry_checks.h"
#include "platform/tell/recorder.h"

namespace {

template <typename F>
double Seconds(F&& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A comb of `teeth` teeth, each 1 unit wide, 1 unit apart and `length` long, closed underneath.
utilib::Shape Comb(int teeth, int length) {
  utilib::Shape s;
  for (int i = 0; i < teeth; ++i) {
    s.v.push_back({2 * i, 0});
    s.v.push_back({2 * i, length});
    s.v.push_back({2 * i + 1, length});
    s.v.push_back({2 * i + 1, 0});
  }
  s.v.push_back({2 * teeth, -10});
  s.v.push_back({0, -10});
  s.v.push_back({0, 0});
  return s;
}

}  // namespace

int main() {
  tell::Recorder ui;
  utilib::Job job("BENCH", ui);
  utilib::GeometrySettings g;
  g.resolution = 1;

  utilib::Shape comb = Comb(127, 1000000);
  std::size_t lines = 0;
  double t = Seconds([&] {
    utilib::CheckPolyIntersections(job, g, comb);
    lines = ui.events.size();
  });
  std::printf("intersection check, %d-vertex comb, 1e6-unit teeth, s=1: %.3f s (%zu events)\n", comb.Count(), t,
              lines);

  std::mt19937 rng(1);
  std::vector<utilib::Shape> polys(10000);
  for (auto& p : polys) {
    for (int i = 0; i < 199; ++i) p.v.push_back({int(rng() % 100000), int(rng() % 100000)});
    p.v.push_back(p.v.front());
  }
  ui.events.clear();
  t = Seconds([&] {
    for (auto& p : polys) {
      utilib::RemoveDuplicateVertices(job, g, p);
      utilib::CheckAcuteAngles(job, g, p, false);
      utilib::CheckPolyCirculation(job, g, p);
    }
  });
  std::printf("duplicates, acute angles and circulation over 10000 polygons of 200 vertices: %.3f s\n", t);

  std::vector<db::PathPoint> path;
  for (int i = 0; i < 200; ++i) path.push_back({i * 1000, (i % 2) * 700});
  std::vector<db::PathPoint> out;
  db::OutlineOptions unlimited;
  unlimited.maxPoints = 0;
  t = Seconds([&] {
    for (int i = 0; i < 10000; ++i) db::BuildPathOutline(path, 100, out, unlimited);
  });
  std::printf("wide-path outline of a 200-vertex zigzag, 10000 times: %.3f s\n", t);
  return 0;
}
