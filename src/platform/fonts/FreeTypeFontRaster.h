// The text raster of the headless and Linux backends: fontconfig finds the
// face, FreeType draws it one bit per pixel.
//
// Sizes: FontSpec.pixelHeight is the em (character) height in pixels, what
// the system's text output is asked for with a negative font height; a point
// size converts with PointsToPixels (96 pixels per inch). The line height
// (TextExtent.cy) is the face's ascent plus descent at that size, taken from
// the face's Windows ascent and descent metrics where it has them, each
// rounded to whole pixels, so metric-compatible faces measure alike.
//
// Supports: any face fontconfig knows, by family name ("Arial" resolves to a
// metric-compatible face where one is installed); bold and italic, made up
// by emboldening or slanting when the family lacks them; UTF-16 text with
// surrogate pairs. Not supported: kerning, font fallback per character
// (a character missing from the face shows the face's missing-glyph box).
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "graphics/FontRaster.h"

namespace lumevra {

class FreeTypeFontRaster final : public FontRaster {
public:
  FreeTypeFontRaster();
  ~FreeTypeFontRaster() override;
  FreeTypeFontRaster(const FreeTypeFontRaster&) = delete;
  FreeTypeFontRaster& operator=(const FreeTypeFontRaster&) = delete;

  TextExtent Extent(const FontSpec& font, std::u16string_view text) override;
  TextCoverage Render(const FontSpec& font, std::u16string_view text) override;

  // The font file used for the font; empty when none could be opened.
  std::string FaceFile(const FontSpec& font);

private:
  struct State;
  std::mutex mutex_;  // FreeType faces are not thread-safe
  std::unique_ptr<State> state_;
};

}  // namespace lumevra
