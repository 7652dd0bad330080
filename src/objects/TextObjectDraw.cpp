#include "objects/TextObjectDraw.h"

#include <algorithm>
#include <string>

#include "base/AnsiText.h"
#include "base/Rounding.h"

namespace lumevra {

namespace {

// Font sizes beyond this draw nothing sensible on any frame; capping them
// keeps every later sum inside 32 bits.
constexpr int64_t kLargestTextSize = int64_t{1} << 20;

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Integer halving toward zero, as Half does, over 64 bits.
int64_t Half64(int64_t n) { return n / 2; }

}  // namespace

int32_t ScaledTextSize(int32_t fontSize, int32_t frameHeight) {
  const int64_t size = Round(static_cast<double>(fontSize) * frameHeight / 768.0);
  return static_cast<int32_t>(std::clamp<int64_t>(size, 0, kLargestTextSize));
}

int32_t TextLineStep(int32_t scaledSize, int32_t frameHeight) {
  return Clamp32(int64_t{scaledSize} + Round(2.0 * frameHeight / 768.0));
}

std::vector<TextLinePlace> PlaceTextLines(int32_t position, int32_t frameWidth, int32_t frameHeight,
                                          int32_t lineStep, const std::vector<int32_t>& lineWidths) {
  enum Vertical { Top, Middle, Bottom };
  enum Horizontal { Left, Centre, Right };
  static constexpr Vertical kVertical[] = {Top, Bottom, Middle, Middle, Middle, Top, Top, Bottom, Bottom};
  static constexpr Horizontal kHorizontal[] = {Centre, Centre, Centre, Left, Right, Left, Right, Left, Right};
  if (position < 0 || position > 8) position = 0;

  const int64_t n = static_cast<int64_t>(lineWidths.size());
  const int64_t block = n * lineStep;
  int64_t y0 = kTextMargin;
  if (kVertical[position] == Middle) y0 = Half64(frameHeight - block);
  if (kVertical[position] == Bottom) y0 = frameHeight - block - kTextMargin;

  std::vector<TextLinePlace> places;
  places.reserve(lineWidths.size());
  for (size_t i = 0; i < lineWidths.size(); ++i) {
    int64_t x = kTextMargin;
    if (kHorizontal[position] == Centre) x = Half64(int64_t{frameWidth} - lineWidths[i]);
    if (kHorizontal[position] == Right) x = int64_t{frameWidth} - lineWidths[i] - kTextMargin;
    places.push_back({Clamp32(x), Clamp32(y0 + static_cast<int64_t>(i) * lineStep)});
  }
  return places;
}

void DrawTextObject(const TextObject& text, Bitmap32& frame, FontRaster& fonts) {
  const int32_t alpha = text.TextAlpha & 0xFF;
  if (text.Lines.empty() || frame.Empty() || alpha == 0) return;
  const int32_t size = ScaledTextSize(text.FontSize, frame.Height());
  const int32_t step = TextLineStep(size, frame.Height());

  const FontSpec saved = frame.Font;
  frame.Font = FontSpec{text.FontName, PointsToPixels(size), false, false};
  std::vector<std::u16string> lines;
  std::vector<int32_t> widths;
  lines.reserve(text.Lines.size());
  widths.reserve(text.Lines.size());
  for (const std::string& line : text.Lines) {
    lines.push_back(AnsiToUtf16(line));
    widths.push_back(frame.TextWidth(fonts, lines.back()));
  }
  const std::vector<TextLinePlace> places =
      PlaceTextLines(text.Position, frame.Width(), frame.Height(), step, widths);
  const Color32 color = WinColor32(text.TextColor, static_cast<uint8_t>(alpha));
  for (size_t i = 0; i < lines.size(); ++i) frame.RenderText(fonts, places[i].x, places[i].y, lines[i], 0, color);
  frame.Font = saved;
}

void TextObject::DrawOnto(Bitmap32& frame, const Rect&, FontRaster* fonts) {
  if (fonts) DrawTextObject(*this, frame, *fonts);
}

}  // namespace lumevra
