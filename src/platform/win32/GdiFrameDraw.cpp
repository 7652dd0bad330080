#include "platform/win32/GdiFrameDraw.h"

#include <windows.h>

#include <cstring>

namespace lumevra {

namespace {

HDC Dc(void* p) { return static_cast<HDC>(p); }

BITMAPINFO TopDownInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as the frames are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

bool CanDrawFromMemory(const PixelView& frame) {
  return frame.pixels != nullptr && frame.width > 0 && frame.height > 0 && frame.stride == frame.width;
}

void DrawFromMemory(void* dc, const PixelView& frame, const PixelRect& place) {
  const BITMAPINFO info = TopDownInfo(frame.width, frame.height);
  if (place.width == frame.width && place.height == frame.height) {
    SetDIBitsToDevice(Dc(dc), place.left, place.top, frame.width, frame.height, 0, 0, 0, frame.height, frame.pixels,
                      &info, DIB_RGB_COLORS);
    return;
  }
  SetStretchBltMode(Dc(dc), COLORONCOLOR);
  StretchDIBits(Dc(dc), place.left, place.top, place.width, place.height, 0, 0, frame.width, frame.height,
                frame.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
}

void FillAroundPlaces(void* dc, PixelSize client, std::span<const PixelRect> places) {
  const int save = SaveDC(Dc(dc));
  for (const PixelRect& p : places) ExcludeClipRect(Dc(dc), p.left, p.top, p.left + p.width, p.top + p.height);
  const RECT all{0, 0, client.cx, client.cy};
  FillRect(Dc(dc), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RestoreDC(Dc(dc), save);
}

bool DibFrame::Ensure(int32_t width, int32_t height) {
  if (dc_ != nullptr && width == width_ && height == height_) return true;
  Free();
  const BITMAPINFO info = TopDownInfo(width, height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) {
    DeleteObject(bitmap);
    return false;
  }
  old_ = SelectObject(dc, bitmap);
  dc_ = dc;
  bitmap_ = bitmap;
  bits_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void DibFrame::Free() {
  if (dc_ != nullptr) {
    SelectObject(Dc(dc_), static_cast<HGDIOBJ>(old_));
    DeleteDC(Dc(dc_));
  }
  if (bitmap_ != nullptr) DeleteObject(static_cast<HBITMAP>(bitmap_));
  dc_ = bitmap_ = old_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
  holds_ = false;
}

bool DibFrame::Copy(const PixelView& frame) {
  holds_ = false;
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width) return false;
  if (!Ensure(frame.width, frame.height)) return false;
  GdiFlush();  // batched calls that still read the section come first
  const size_t row = static_cast<size_t>(frame.width);
  if (frame.stride == frame.width) {
    std::memcpy(bits_, frame.pixels, row * static_cast<size_t>(frame.height) * 4);
  } else {
    for (int32_t y = 0; y < frame.height; ++y)
      std::memcpy(bits_ + static_cast<size_t>(y) * row, frame.pixels + static_cast<size_t>(y) * frame.stride, row * 4);
  }
  holds_ = true;
  return true;
}

void DibFrame::Draw(void* dc, const PixelRect& place) const {
  if (!holds_) return;
  if (place.width == width_ && place.height == height_) {
    BitBlt(Dc(dc), place.left, place.top, width_, height_, Dc(dc_), 0, 0, SRCCOPY);
    return;
  }
  SetStretchBltMode(Dc(dc), COLORONCOLOR);
  StretchBlt(Dc(dc), place.left, place.top, place.width, place.height, Dc(dc_), 0, 0, width_, height_, SRCCOPY);
}

}  // namespace lumevra
