// The one process-wide pseudo-random generator. Object threads, the engine
// and the window draw from it at the same time, so its state is a single
// atomic counter run through a mixer: every draw is one fetch_add, with no
// lock and no data race.
#pragma once

#include <cstdint>
#include <optional>

namespace lumevra {

// Uniform integer 0 .. n - 1; 0 when n is 0 or negative.
int32_t Random(int32_t n);
// Random(|b - a|) + min(a, b): b itself is never chosen; RandomRange(a, a) = a.
int32_t RandomRange(int32_t a, int32_t b);
// -1 when Random(2) is 0, else +1.
int32_t Sign();
// Reseeds from the tick count (or, under a fixed seed, from seed and tick
// count together, so that a run with a manual clock repeats exactly) and
// from the number of reseeds before it, so that objects prepared within the
// same millisecond still draw values of their own.
void Randomize();

// Test and tool mode: sets the state now, restarts the count of reseeds and
// makes every later Randomize deterministic. nullopt returns to clock
// seeding.
void SetFixedSeed(std::optional<uint64_t> seed);

}  // namespace lumevra
