// A header or settings INI: the text comes back byte for byte, and each
// section alone reads as it does within the whole.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/Ini.h"

using namespace lumevra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(fuzz::AsText(data, size));
  Ini ini(text);
  fuzz::Require(ini.GetText() == text, "the text does not come back unchanged");
  for (const std::string& section : ini.SectionNames()) {
    const Ini alone(ini.SectionText(section));
    for (const std::string& key : ini.SectionKeys(section))
      fuzz::Require(alone.ReadString(section, key) == ini.ReadString(section, key),
                    "a section alone reads otherwise");
  }
  // An edit touches its own key only.
  ini.WriteString("Config", "Speed", "100");
  fuzz::Require(Ini(ini.GetText()).ReadString("Config", "Speed") == "100", "a written key does not read back");
  return 0;
}
