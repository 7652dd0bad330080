#include "platform/fonts/FontconfigMatch.h"

#include <memory>

namespace lumevra {

namespace {

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

}  // namespace

FontFileMatch MatchFontFile(FcConfig* config, const std::string& family, bool bold, bool italic) {
  FontFileMatch result;
  // The family goes in as a plain value, not through the name parser, which
  // would read a name like "Foo-12" as family "Foo" at size 12.
  Pattern pattern(FcPatternCreate());
  if (!pattern) return result;
  if (!family.empty()) {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return result;
  FcDefaultSubstitute(pattern.get());

  FcResult outcome = FcResultNoMatch;
  Pattern match(FcFontMatch(config, pattern.get(), &outcome));
  if (!match) return result;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) return result;
  result.file = reinterpret_cast<const char*>(file);
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &result.index);
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(match.get(), FC_SLANT, 0, &slant);
  result.embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
  result.slant = italic && slant == FC_SLANT_ROMAN;
  return result;
}

}  // namespace lumevra
