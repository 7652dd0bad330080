#include "platform/win32/GdiFontRaster.h"

#include <windows.h>

#include <climits>
#include <cstring>

#include "platform/win32/WinText.h"

namespace lumevra {

namespace {

HFONT MakeFont(const FontSpec& font) {
  const std::wstring face = Utf8ToWide(font.face).substr(0, LF_FACESIZE - 1);
  return CreateFontW(-font.pixelHeight, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE, FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

// The font selected into a DC for one call; the previous one comes back.
class SelectedFont {
public:
  SelectedFont(HDC dc, const FontSpec& font) : dc_(dc), font_(MakeFont(font)) {
    if (font_ != nullptr) old_ = SelectObject(dc_, font_);
  }
  ~SelectedFont() {
    if (font_ == nullptr) return;
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  explicit operator bool() const { return font_ != nullptr; }

private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_ = nullptr;
};

TextExtent Measure(HDC dc, const std::wstring& text) {
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc, &metrics)) return {};
  TextExtent extent{0, metrics.tmHeight};
  SIZE size{};
  if (!text.empty() && GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size)) extent.cx = size.cx;
  return extent;
}

}  // namespace

GdiFontRaster::GdiFontRaster() : dc_(CreateCompatibleDC(nullptr)) {}

GdiFontRaster::~GdiFontRaster() {
  if (dc_ != nullptr) DeleteDC(static_cast<HDC>(dc_));
}

TextExtent GdiFontRaster::Extent(const FontSpec& font, std::u16string_view text) {
  if (text.size() > INT_MAX || font.pixelHeight <= 0) return {};
  const std::lock_guard<std::mutex> lock(mutex_);
  HDC dc = static_cast<HDC>(dc_);
  if (dc == nullptr) return {};
  SelectedFont selected(dc, font);
  if (!selected) return {};
  return Measure(dc, ToWide(text));
}

TextCoverage GdiFontRaster::Render(const FontSpec& font, std::u16string_view text) {
  TextCoverage coverage;
  if (text.empty() || text.size() > INT_MAX || font.pixelHeight <= 0) return coverage;
  const std::lock_guard<std::mutex> lock(mutex_);
  HDC dc = static_cast<HDC>(dc_);
  if (dc == nullptr) return coverage;
  SelectedFont selected(dc, font);
  if (!selected) return coverage;
  const std::wstring wide = ToWide(text);
  const TextExtent extent = Measure(dc, wide);
  if (extent.cx <= 0 || extent.cy <= 0 || extent.cx > 32767 || extent.cy > 32767) return coverage;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = extent.cx;
  info.bmiHeader.biHeight = -extent.cy;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return coverage;
  const size_t count = static_cast<size_t>(extent.cx) * static_cast<size_t>(extent.cy);
  std::memset(bits, 0, count * 4);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  // The cell's top at 0 puts the baseline at the font's ascent.
  TextOutW(dc, 0, 0, wide.data(), static_cast<int>(wide.size()));
  GdiFlush();

  coverage.width = extent.cx;
  coverage.height = extent.cy;
  coverage.bits.resize(count);
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < count; ++i) coverage.bits[i] = (pixels[i] & 0x00FFFFFFu) != 0 ? 1 : 0;
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  return coverage;
}

}  // namespace lumevra
