// What the CIF benchmarks share to make their TLC sets: a repeatable random number and one cell file
// written through the suite's own TLC writer.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "editor/tlc/writer.h"

namespace cifbench {

// A fixed sequence from `seed`, so every run converts the same layout.
struct Random {
  std::uint32_t state;
  int operator()(int n) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
  }
};

// FOLDER/NAME.TLC of rank RANK, at 100 units a micrometre, with the records `body` writes.
inline bool WriteCell(const std::string& folder, const std::string& name, int rank,
                      const std::function<void(tlc::TlcWriter&)>& body) {
  tlc::FileSink sink;
  if (!sink.Open(folder + "/" + name + ".TLC")) return false;
  tlc::TlcWriter w(sink, tlc::UtilityWriterOptions());
  tlc::TlcHeader h;
  h.name = name;
  h.scale = 100;
  h.unit = "um";
  h.rank = rank;
  tlc::StampNow(h);
  w.PutHeader(h);
  body(w);
  return w.Flush() && sink.Commit() == 1;
}

}  // namespace cifbench
