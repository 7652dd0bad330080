// Every value here is a whole number below 2^53 held in a double, so the
// sums, products and the remainders below are exact; rounding to a whole
// number is the 2^52 trick (halves to even in the default rounding mode).
// The loops have no branch and no integer division, which is what lets
// the compiler vectorise them; builds for AVX2 and AVX-512 are chosen at
// run time where the processor has them. The column-by-column reference
// is Waves::SampleRow.
#include "engine/SlantColumns.h"

#include <atomic>
#include <cmath>

#include "engine/Waves.h"

namespace lumevra {

namespace {

constexpr double kTwo52 = 4503599627370496.0;

// |v| rounded half to even, for |v| < 2^52.
inline double RoundedMagnitude(double v) { return (std::fabs(v) + kTwo52) - kTwo52; }

// m mod d for whole numbers 0 <= m < 2^52 and 1 <= d < 2^31: the quotient
// rounded from the reciprocal's product is the nearest to m / d or next to
// it, so m - q * d is exact and lies within (-d, d); a negative one is
// raised by d.
inline double Remainder(double m, double d, double inverse) {
  const double q = RoundedMagnitude(m * inverse);
  const double r = m - q * d;
  return r < 0 ? r + d : r;
}

// Inlined into each build below, so that each gets its own code for the
// loop. A period of at most 360 leaves nothing for the second remainder.
template <bool kLongPeriod>
__attribute__((always_inline)) inline bool DegreesBody(const SlantRow& in, int32_t x0, int32_t n, int32_t* degrees) {
  const double freq = in.Freq;
  const double damping = in.Height - in.Row / 2.0;
  const double height = in.Height;
  const double phase = in.Phase;
  const double period = in.Period, inversePeriod = 1.0 / period;
  const double inverse360 = 1.0 / 360.0;
  // The column of x0 and its step along the run.
  const double first = in.FromRight ? static_cast<double>(in.Width) - 1 - x0 : static_cast<double>(x0);
  const double step = in.FromRight ? -1.0 : 1.0;
  int beyond = 0;
  for (int32_t i = 0; i < n; ++i) {
    const double col = first + step * i;
    const double arg = col * freq / 2 * damping / height + phase;
    beyond |= !(std::fabs(arg) < kTwo52);
    double d = Remainder(RoundedMagnitude(arg), period, inversePeriod);
    if constexpr (kLongPeriod) d = Remainder(d, 360.0, inverse360);
    // Columns past 2^52 are redone by the caller; theirs only has to be a degree.
    d = ((d >= 0) & (d < 360)) ? d : 0;
    degrees[i] = static_cast<int32_t>(d);
  }
  return beyond == 0;
}

__attribute__((always_inline)) inline bool RowsBody(const SlantRow& in, int32_t* rows) {
  const double amp = in.Amp;
  if (!(std::fabs(amp) < kTwo52)) return false;
  const double row = in.Row, lastRow = in.Height - 1;
  const double* cosines = CosTable().data();
  for (int32_t d = 0; d < 360; ++d) {
    const double wave = cosines[d] * amp;
    const double offset = wave < 0 ? -RoundedMagnitude(wave) : RoundedMagnitude(wave);
    double source = row + offset;
    source = source > 0 ? source : 0;
    source = source < lastRow ? source : lastRow;
    rows[d] = static_cast<int32_t>(source);
  }
  return true;
}

#define LUMEVRA_SLANT_KERNELS(suffix, target)                                                        \
  target bool Degrees##suffix(const SlantRow& in, int32_t x0, int32_t n, int32_t* degrees) {         \
    return in.Period > 360 ? DegreesBody<true>(in, x0, n, degrees) : DegreesBody<false>(in, x0, n, degrees); \
  }                                                                                                  \
  target bool Rows##suffix(const SlantRow& in, int32_t* rows) { return RowsBody(in, rows); }

LUMEVRA_SLANT_KERNELS(Plain, )

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define LUMEVRA_SLANT_X86 1
// No FMA in either: a fused multiply-add rounds once where the reference rounds twice.
LUMEVRA_SLANT_KERNELS(Avx2, __attribute__((target("avx2"))))
#if defined(__clang__)
LUMEVRA_SLANT_KERNELS(Avx512, __attribute__((target("avx512f,avx512dq,avx512vl"), min_vector_width(512))))
#else
LUMEVRA_SLANT_KERNELS(Avx512, __attribute__((target("avx512f,avx512dq,avx512vl,prefer-vector-width=512"))))
#endif
#endif

struct Kernels {
  const char* name;
  bool (*degrees)(const SlantRow&, int32_t, int32_t, int32_t*);
  bool (*rows)(const SlantRow&, int32_t*);
};

// The builds this processor runs, fastest last.
std::vector<Kernels> AvailableKernels() {
  std::vector<Kernels> all{{"plain", DegreesPlain, RowsPlain}};
#ifdef LUMEVRA_SLANT_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) all.push_back({"avx2", DegreesAvx2, RowsAvx2});
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl"))
    all.push_back({"avx512", DegreesAvx512, RowsAvx512});
#endif
  return all;
}

const std::vector<Kernels>& Available() {
  static const std::vector<Kernels> all = AvailableKernels();
  return all;
}

std::atomic<const Kernels*>& InUse() {
  static std::atomic<const Kernels*> chosen{&Available().back()};
  return chosen;
}

const Kernels& Chosen() { return *InUse().load(std::memory_order_relaxed); }

}  // namespace

bool SlantDegrees(const SlantRow& row, int32_t x0, int32_t n, int32_t* degrees) {
  return Chosen().degrees(row, x0, n, degrees);
}

bool SlantRowOfDegree(const SlantRow& row, int32_t* rows) { return Chosen().rows(row, rows); }

const int32_t* SlantRowTables::For(size_t layer, const SlantRow& row) {
  if (state_[layer] == 0) state_[layer] = SlantRowOfDegree(row, rows_[layer].data()) ? 1 : -1;
  return state_[layer] > 0 ? rows_[layer].data() : nullptr;
}

}  // namespace lumevra

namespace lumevra {

std::vector<std::string> SlantBuilds() {
  std::vector<std::string> names;
  for (const Kernels& k : Available()) names.emplace_back(k.name);
  return names;
}

bool UseSlantBuild(const std::string& name) {
  for (const Kernels& k : Available())
    if (name == k.name) {
      InUse().store(&k, std::memory_order_relaxed);
      return true;
    }
  return false;
}

std::string SlantBuildInUse() { return Chosen().name; }

}  // namespace lumevra
