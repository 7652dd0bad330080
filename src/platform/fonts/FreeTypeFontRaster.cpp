#include "platform/fonts/FreeTypeFontRaster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "base/Rounding.h"
#include "platform/fonts/FontconfigMatch.h"

namespace lumevra {

namespace {

// Sizes beyond these draw nothing rather than allocate without bound.
constexpr int32_t kMaxPixelHeight = 2048;
constexpr size_t kMaxCoverageBytes = size_t{1} << 26;
constexpr size_t kMaxOpenFaces = 32;
constexpr size_t kMaxGlyphCacheBytes = size_t{32} << 20;

struct Glyph {
  int32_t advance = 0;
  int32_t left = 0;  // ink offset from the pen position
  int32_t top = 0;   // ink rows above the baseline
  int32_t width = 0;
  int32_t rows = 0;
  std::vector<uint8_t> bits;  // width x rows, 0 or 1
};

// One face opened at one pixel size, with the glyphs drawn so far.
struct SizedFace {
  FT_Face face = nullptr;
  int32_t ascent = 0;
  int32_t descent = 0;
  bool embolden = false;
  bool slant = false;
  std::unordered_map<char32_t, Glyph> glyphs;
  size_t glyphBytes = 0;

  SizedFace() = default;
  SizedFace(const SizedFace&) = delete;
  SizedFace& operator=(const SizedFace&) = delete;
  ~SizedFace() {
    if (face) FT_Done_Face(face);
  }
};

// UTF-16 to code points; an unpaired surrogate becomes U+FFFD.
std::u32string CodePoints(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out.push_back(0xFFFD);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Ascent and descent as the system's text metrics give them: from the
// face's Windows metrics where present, else its typographic ones.
void SetLineMetrics(SizedFace& sized, int32_t pixelHeight) {
  FT_Face face = sized.face;
  if (FT_IS_SCALABLE(face) && face->units_per_EM > 0) {
    double ascent = face->ascender, descent = -face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent = os2->usWinAscent;
      descent = os2->usWinDescent;
    }
    const double scale = static_cast<double>(pixelHeight) / face->units_per_EM;
    sized.ascent = static_cast<int32_t>(Round(ascent * scale));
    sized.descent = static_cast<int32_t>(Round(descent * scale));
  } else {
    sized.ascent = static_cast<int32_t>((face->size->metrics.ascender + 63) >> 6);
    sized.descent = static_cast<int32_t>((-face->size->metrics.descender + 63) >> 6);
  }
}

// Copies a rendered glyph bitmap (one bit or one byte per pixel) as 0/1.
void CopyBitmap(const FT_Bitmap& bitmap, Glyph& glyph) {
  if (bitmap.pitch <= 0 || !bitmap.buffer) return;
  const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
  glyph.width = static_cast<int32_t>(bitmap.width);
  glyph.rows = static_cast<int32_t>(bitmap.rows);
  glyph.bits.assign(size_t{bitmap.width} * bitmap.rows, 0);
  for (unsigned y = 0; y < bitmap.rows; ++y) {
    const unsigned char* row = bitmap.buffer + size_t{y} * static_cast<unsigned>(bitmap.pitch);
    for (unsigned x = 0; x < bitmap.width; ++x) {
      const bool on = mono ? (row[x / 8] >> (7 - x % 8)) & 1 : row[x] >= 128;
      glyph.bits[size_t{y} * bitmap.width + x] = on ? 1 : 0;
    }
  }
}

}  // namespace

struct FreeTypeFontRaster::State {
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  bool initialised = false;
  std::map<std::tuple<std::string, bool, bool>, FontFileMatch> matches;
  std::map<std::tuple<std::string, int, int32_t, bool, bool>, std::unique_ptr<SizedFace>> faces;

  ~State() {
    faces.clear();
    if (library) FT_Done_FreeType(library);
    if (config) FcConfigDestroy(config);
  }

  // Set up on first use, so that a backend that never draws text pays nothing.
  void Initialise() {
    if (initialised) return;
    initialised = true;
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
    config = FcInitLoadConfigAndFonts();
  }

  SizedFace* Open(const FontFileMatch& match, int32_t pixelHeight) {
    if (match.file.empty()) return nullptr;
    const auto key = std::make_tuple(match.file, match.index, pixelHeight, match.embolden, match.slant);
    if (auto it = faces.find(key); it != faces.end()) return it->second.get();
    auto sized = std::make_unique<SizedFace>();
    if (FT_New_Face(library, match.file.c_str(), match.index, &sized->face) != 0) {
      sized->face = nullptr;
      return nullptr;
    }
    if (FT_Set_Pixel_Sizes(sized->face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) return nullptr;
    sized->embolden = match.embolden;
    sized->slant = match.slant;
    SetLineMetrics(*sized, pixelHeight);
    if (faces.size() >= kMaxOpenFaces) faces.clear();
    return faces.emplace(key, std::move(sized)).first->second.get();
  }

  // The face for the font at its size; the default face when the font's own
  // cannot be opened; null when nothing can.
  SizedFace* FaceFor(const FontSpec& font) {
    Initialise();
    if (!library || !config || font.pixelHeight <= 0 || font.pixelHeight > kMaxPixelHeight) return nullptr;
    const auto key = std::make_tuple(font.face, font.bold, font.italic);
    auto it = matches.find(key);
    if (it == matches.end()) it = matches.emplace(key, MatchFontFile(config, font.face, font.bold, font.italic)).first;
    if (SizedFace* face = Open(it->second, font.pixelHeight)) return face;
    it->second = MatchFontFile(config, std::string(), font.bold, font.italic);
    return Open(it->second, font.pixelHeight);
  }

  const Glyph& GlyphOf(SizedFace& sized, char32_t codePoint) {
    if (auto it = sized.glyphs.find(codePoint); it != sized.glyphs.end()) return it->second;
    Glyph glyph;
    FT_Face face = sized.face;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, codePoint), FT_LOAD_TARGET_MONO) == 0) {
      FT_GlyphSlot slot = face->glyph;
      if (sized.slant) FT_GlyphSlot_Oblique(slot);
      if (sized.embolden) FT_GlyphSlot_Embolden(slot);
      glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
      if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        CopyBitmap(slot->bitmap, glyph);
      }
    }
    if (sized.glyphBytes + glyph.bits.size() > kMaxGlyphCacheBytes) {
      sized.glyphs.clear();
      sized.glyphBytes = 0;
    }
    sized.glyphBytes += glyph.bits.size();
    return sized.glyphs.emplace(codePoint, std::move(glyph)).first->second;
  }

  int32_t Advance(SizedFace& sized, const std::u32string& text) {
    int64_t width = 0;
    for (char32_t c : text) width += GlyphOf(sized, c).advance;
    return static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX));
  }
};

FreeTypeFontRaster::FreeTypeFontRaster() : state_(std::make_unique<State>()) {}
FreeTypeFontRaster::~FreeTypeFontRaster() = default;

TextExtent FreeTypeFontRaster::Extent(const FontSpec& font, std::u16string_view text) {
  std::lock_guard lock(mutex_);
  SizedFace* face = state_->FaceFor(font);
  if (!face) return {};
  return TextExtent{state_->Advance(*face, CodePoints(text)), face->ascent + face->descent};
}

TextCoverage FreeTypeFontRaster::Render(const FontSpec& font, std::u16string_view text) {
  std::lock_guard lock(mutex_);
  SizedFace* face = state_->FaceFor(font);
  if (!face) return {};
  const std::u32string codePoints = CodePoints(text);
  TextCoverage coverage;
  coverage.width = state_->Advance(*face, codePoints);
  coverage.height = face->ascent + face->descent;
  if (coverage.width <= 0 || coverage.height <= 0 ||
      static_cast<size_t>(coverage.width) * static_cast<size_t>(coverage.height) > kMaxCoverageBytes) {
    return {};
  }
  coverage.bits.assign(static_cast<size_t>(coverage.width) * coverage.height, 0);
  int32_t pen = 0;
  for (char32_t c : codePoints) {
    const Glyph& glyph = state_->GlyphOf(*face, c);
    for (int32_t row = 0; row < glyph.rows; ++row) {
      const int32_t y = face->ascent - glyph.top + row;
      if (y < 0 || y >= coverage.height) continue;
      for (int32_t col = 0; col < glyph.width; ++col) {
        const int32_t x = pen + glyph.left + col;
        if (x < 0 || x >= coverage.width || !glyph.bits[static_cast<size_t>(row) * glyph.width + col]) continue;
        coverage.bits[static_cast<size_t>(y) * coverage.width + x] = 1;
      }
    }
    pen += glyph.advance;
  }
  return coverage;
}

std::string FreeTypeFontRaster::FaceFile(const FontSpec& font) {
  std::lock_guard lock(mutex_);
  SizedFace* face = state_->FaceFor(font);
  if (!face) return {};
  for (const auto& [key, sized] : state_->faces) {
    if (sized.get() == face) return std::get<0>(key);
  }
  return {};
}

}  // namespace lumevra
