// The checker's maps for one run, its numbered map slots, and the gauge and expansion operators that
// mark gaps and spacings between shapes.
#pragma once
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "drc/bitmap.h"

namespace drc {

// Allocated together before a run's first check and freed after the run.
struct CheckMaps {
  BitMap R;        // working register
  BitMap S;        // second register
  BitMap T;        // the rasteriser's target and the operators' result
  BitMap G1, G2;   // scratch of the gauge and the expansion (grown R and S)
  BitMap display;  // the map the map window shows

  // All maps, or none (false) when memory runs out.
  bool Allocate();
  void Free();
  bool Allocated() const { return R.Allocated(); }
};

// Maps kept by name within one check. A name is a number; its key is max(atoi(name) + 1, 1), so
// layers 1..64 have keys 2..65 and "0" (the saved R) has key 1. Every key a check can store has room.
class MapSlots {
 public:
  static constexpr int kCapacity = 65;

  static int Key(std::string_view name);
  // Copies `m` into the slot of the key (the one it has, else a new one). 1 stored; 0 when memory
  // for a new slot cannot be had, or all slots hold other keys.
  int Store(const BitMap& m, int key);
  // Copies the slot into `m`; false (and `m` unchanged) for a key with no slot.
  bool Load(BitMap& m, int key) const;
  bool Has(int key) const;
  void Clear();
  int Count() const { return static_cast<int>(slots_.size()); }

 private:
  std::vector<std::pair<int, BitMap>> slots_;
};

// GAGR (two = false) and GAGRS: every gap of 1 to N - 1 pixels between set pixels of R (or from an
// edge of R to S, or of S to R), across or up, is marked at its middle; then T is doubled, R = T and
// S = the old R (with two maps, the old R OR the old S).
void GaugeMap(CheckMaps& maps, bool two, int n);

// EXPR and EXPRS: R (and S) grow by N half steps, orthogonal and diagonal mixed to approximate a
// circle. One map: where two grown shapes come within one pixel, T is marked; two maps: where the
// grown R meets the grown S. Then T is doubled, R = T and S = the grown R (with two maps, OR the grown
// S). `stop` is polled after every half step and ends the operator at once.
void ExpandMap(CheckMaps& maps, bool two, int n, const std::function<bool()>& stop = {});

}  // namespace drc
