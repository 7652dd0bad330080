// TextObject: lines of text drawn by the engine at one of nine places on
// the frame. The "Text" key holds the whole text encoded (ObjectText.h);
// decoded, it is split into lines at CR LF, LF or CR.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "objects/AnimObject.h"

namespace lumevra {

// Lines of a text: split at CR LF, LF or CR; a break at the very end starts
// no further line, so "" gives no lines and "a\r\n" gives one.
std::vector<std::string> SplitTextLines(std::string_view text);
// The inverse: every line followed by CR LF.
std::string JoinTextLines(const std::vector<std::string>& lines);

class TextObject final : public AnimObject {
public:
  TextObject() = default;
  ~TextObject() override;

  std::string_view ObjType() const override { return "TXT"; }
  // Drawn at its own place on the frame (see TextObjectDraw); `place` is unused.
  void DrawOnto(Bitmap32& frame, const Rect& place, FontRaster* fonts) override;
  std::string SaveToText() override;
  void LoadObjectFromText(std::string_view text) override;
  // "Text" is given decoded, as JoinTextLines of Lines.
  ObjectKeyList DescribeKeys() const override;

  // Text always starts fully opaque, whatever "Opacity" says.
  void Prepare() override;
  void ApplyAlpha(uint8_t alpha) override;

  std::vector<std::string> Lines;  // 8-bit text, one entry per line
  std::string FontName;
  int32_t Position = 0;
  Relaxed<int32_t> TextAlpha;  // changed by the fades while frames draw
  int32_t FontSize = 0;
  uint32_t TextColor = 0;  // a Windows colour value: red in bits 0-7
};

}  // namespace lumevra
