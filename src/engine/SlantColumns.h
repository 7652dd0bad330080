// The source rows of a slanted wave layer, column by column: the wave
// argument grows along the row (from the left or from the right) and is
// damped towards the bottom, so every column samples its own row. The
// argument of a run of columns is reduced to degrees together, in doubles
// and without an integer division per column, so that the compiler keeps
// several columns in flight; the row of each degree comes from a table of
// the row's 360 values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "package/ProjectRecords.h"

namespace lumevra {

// What one row of one slanted layer needs; the values of WaveValues and
// Waves for that row and layer.
struct SlantRow {
  double Freq = 0;
  double Amp = 0;
  int32_t Row = 0;
  int32_t Height = 1;  // the picture's
  int32_t Width = 1;   // the picture's
  int32_t Phase = 0;
  int32_t Period = 360;  // at least 1
  bool FromRight = false;
};

// Columns in one call of SlantDegrees at most.
inline constexpr int32_t kSlantRun = 256;

// degrees[i] = |round(arg)| mod Period mod 360 for column x0 + i
// (0 <= i < n <= kSlantRun), where arg = col * Freq / 2 * (Height - Row / 2)
// / Height + Phase and col = x, or Width - 1 - x from the right. False
// where an argument reaches 2^52 (only absurd layer values do); degrees
// is then unspecified and such columns take the saturating formula.
bool SlantDegrees(const SlantRow& row, int32_t x0, int32_t n, int32_t* degrees);

// rows[d] = Row + round(cos(d degrees) * Amp), clamped to the picture, for
// d = 0 .. 359. False where |Amp| reaches 2^52.
bool SlantRowOfDegree(const SlantRow& row, int32_t* rows);

// The builds of the two loops this processor runs ("plain", and "avx2",
// "avx512" where it has them), the fastest chosen at start. Choosing
// another is for tests and benchmarks, while no frame is being made;
// false for a name not in the list.
std::vector<std::string> SlantBuilds();
bool UseSlantBuild(const std::string& name);
std::string SlantBuildInUse();

// The degree-to-row tables of one row, one per layer, each made on its
// first use: a row's spans of one layer share it.
class SlantRowTables {
public:
  // The table of `layer` (< kWaveLayers) for `row`, null where
  // SlantRowOfDegree refuses the amplitude.
  const int32_t* For(size_t layer, const SlantRow& row);

private:
  std::array<std::array<int32_t, 360>, kWaveLayers> rows_;
  std::array<int8_t, kWaveLayers> state_{};  // 0 not made, 1 made, -1 refused
};

}  // namespace lumevra
