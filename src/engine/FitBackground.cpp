#include "engine/FitBackground.h"

#include <algorithm>
#include <limits>

#include "base/Rounding.h"
#include "graphics/FastBitmap.h"
#include "package/Project.h"

namespace lumevra {

namespace {

// Round into the 32-bit range: a rescaled wave field from a hostile file
// saturates instead of overflowing.
int32_t Round32(double v) {
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(Round(std::clamp(v, lo, hi)));
}

// Nearest-neighbour copy of the mask into a W x H surface: every target pixel
// is exactly one mask pixel, so layer borders never gain mixed colours. An
// empty mask gives W x H pixels of no layer.
void ResampleMask(const Bitmap32& mask, Bitmap32& out, int32_t W, int32_t H) {
  out.SetSize(W, H);
  if (mask.Empty()) return;
  const int64_t mw = mask.Width();
  const int64_t mh = mask.Height();
  std::vector<int32_t> cols(static_cast<size_t>(W));
  for (int32_t x = 0; x < W; ++x) cols[static_cast<size_t>(x)] = static_cast<int32_t>(x * mw / W);
  for (int32_t y = 0; y < H; ++y) {
    const Color32* in = mask.ScanLine(static_cast<int32_t>(y * mh / H));
    Color32* line = out.ScanLine(y);
    for (int32_t x = 0; x < W; ++x) line[x] = in[cols[static_cast<size_t>(x)]];
  }
}

}  // namespace

PixelSize FittedSize(bool proportional, PixelSize picture, PixelSize screen) {
  if (!proportional || picture.cx <= 0 || picture.cy <= 0 || screen.cx <= 0 || screen.cy <= 0) return screen;
  const double aspect = static_cast<double>(picture.cx) / picture.cy;
  // A picture wider than the window's shape keeps the width, else the height.
  if (picture.cx > (int64_t{picture.cy} * screen.cx) / screen.cy)
    return {screen.cx, std::max(Round32(screen.cx / aspect), 1)};
  return {std::max(Round32(screen.cy * aspect), 1), screen.cy};
}

void FitPicture(bool proportional, Bitmap32& background, Bitmap32& mask, std::span<WaveParams> waves, int32_t W,
                int32_t H) {
  // The window's client size divides the picture's shape and the picture's
  // size divides the wave rescaling: without both there is nothing to fit.
  if (W <= 0 || H <= 0 || background.Empty()) return;
  const int32_t picW = background.Width();
  const int32_t picH = background.Height();
  const PixelSize fitted = FittedSize(proportional, {picW, picH}, {W, H});
  W = fitted.cx;
  H = fitted.cy;

  if (W == picW && H == picH && mask.Width() == W && mask.Height() == H) {
    // A picture already at the fitted size (a photograph taken for this
    // screen) resizes to itself: only its alpha becomes opaque, as every
    // fitted pixel's does; the mask and the wave fields stay as they are.
    Color32* p = background.Bits();
    for (int64_t i = 0, n = int64_t{W} * H; i < n; ++i) p[i] |= 0xFF000000u;
    return;
  }

  // Everything that can fail to allocate comes before the first change.
  FastBitmap source;
  source.LoadFrom(background);
  FastBitmap target;
  target.SetSize(W, H);
  source.SmoothResize(target);
  Bitmap32 newMask;
  ResampleMask(mask, newMask, W, H);

  background.SetSize(W, H);
  target.DrawTo(background, 0, 0);
  mask.SetSize(W, H);
  std::copy(newMask.Bits(), newMask.Bits() + int64_t{W} * H, mask.Bits());

  // Wave fields measured in picture pixels follow the new size.
  for (WaveParams& wave : waves) {
    wave.Amplitude = Round32(static_cast<double>(W) / picW * wave.Amplitude);
    wave.Jitter = Round32(static_cast<double>(H) / picH * wave.Jitter);
  }
}

}  // namespace lumevra

namespace lumevra {

void FitBackground(bool proportional, Project& project, int32_t W, int32_t H) {
  FitPicture(proportional, project.Background, project.Mask, project.WaveLayers, W, H);
}

}  // namespace lumevra
