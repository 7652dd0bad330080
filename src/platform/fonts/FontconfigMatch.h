// Finding a font file for a face name with fontconfig.
#pragma once

#include <string>

#include <fontconfig/fontconfig.h>

namespace lumevra {

struct FontFileMatch {
  std::string file;  // empty: nothing matched
  int index = 0;     // the face inside the file
  bool embolden = false;  // bold asked for, the face is not
  bool slant = false;     // italic asked for, the face is upright
};

// The best installed face for the family (empty: the default face) with the
// usual substitutions, so "Arial" finds a metric-compatible face.
FontFileMatch MatchFontFile(FcConfig* config, const std::string& family, bool bold, bool italic);

}  // namespace lumevra
