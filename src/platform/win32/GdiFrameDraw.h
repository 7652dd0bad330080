// The ways a frame (32-bit, top-down, B G R A bytes) reaches a GDI device
// context: straight from the frame's own memory (SetDIBitsToDevice 1:1,
// StretchDIBits scaled), or from a copy kept in a DIB section (BitBlt,
// StretchBlt), which outlives the frame and so can serve a repaint.
// Device contexts are passed as void* (HDC) to keep Windows headers here.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/PixelView.h"

namespace lumevra {

// True when GDI can read the frame in place as one DIB: rows exactly `width`
// apart, so that no row is read beyond the frame's last pixel.
bool CanDrawFromMemory(const PixelView& frame);

// Draws the frame into `place` of `dc` from the frame's memory, 1:1 where the
// place has the frame's size, else stretched (colour on colour). Needs
// CanDrawFromMemory.
void DrawFromMemory(void* dc, const PixelView& frame, const PixelRect& place);

// Black over the client area (0, 0, size) outside every place.
void FillAroundPlaces(void* dc, PixelSize client, std::span<const PixelRect> places);

// A copy of one frame in a DIB section with its own memory DC.
class DibFrame {
public:
  DibFrame() = default;
  ~DibFrame() { Free(); }
  DibFrame(const DibFrame&) = delete;
  DibFrame& operator=(const DibFrame&) = delete;

  // Copies the frame in (any stride); false when no DIB section can be had.
  bool Copy(const PixelView& frame);
  // Draws the copy into `place` of `dc`: 1:1 or stretched, as DrawFromMemory.
  void Draw(void* dc, const PixelRect& place) const;
  bool Holds() const { return holds_; }
  // Marks the copy as no longer wanted, keeping its memory for the next.
  void Forget() { holds_ = false; }
  void Free();

private:
  bool Ensure(int32_t width, int32_t height);

  void* dc_ = nullptr;      // HDC
  void* bitmap_ = nullptr;  // HBITMAP
  void* old_ = nullptr;     // HGDIOBJ selected before
  uint32_t* bits_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool holds_ = false;
};

}  // namespace lumevra
