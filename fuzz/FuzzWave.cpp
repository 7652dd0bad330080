// A wave file: it reads, with a data size the file can hold, or fails with
// the wave error.
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "sound/Wave.h"

using namespace lumevra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(fuzz::AsText(data, size)));
  WaveReader reader(in);
  try {
    reader.Open();
  } catch (const WaveError&) {
    return 0;
  }
  fuzz::Require(reader.Size() >= 0 && reader.Available() >= 0 && reader.Available() <= reader.Size(),
                "the data chunk's sizes disagree");
  fuzz::Require(reader.Available() <= static_cast<int64_t>(size), "more data than the file holds");
  char buffer[4096];
  int64_t total = 0;
  for (size_t got; (got = reader.Read(buffer, sizeof buffer)) > 0;) total += static_cast<int64_t>(got);
  fuzz::Require(total == reader.Available(), "the data read is not what is available");
  return 0;
}
