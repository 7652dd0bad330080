// The demo painter's drawing surface: an RGB picture with soft-edged
// blending, and a coarse grid for slow-varying noise fields that are
// sampled smoothly at full size (cheap even in unoptimised builds).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "DemoNoise.h"
#include "graphics/PictureLoader.h"

namespace lumevra::demo {

class Canvas {
public:
  Canvas(int32_t width, int32_t height)
      : width_(width), height_(height), px_(static_cast<size_t>(width) * height), cover_(px_.size(), 0.0f) {}

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  Rgb& At(int32_t x, int32_t y) { return px_[static_cast<size_t>(y) * width_ + x]; }
  const Rgb& At(int32_t x, int32_t y) const { return px_[static_cast<size_t>(y) * width_ + x]; }

  // Mixes `c` into the pixel by `alpha` (0..1); outside the picture nothing.
  void Blend(int32_t x, int32_t y, const Rgb& c, double alpha) {
    if (!Inside(x, y) || alpha <= 0) return;
    Rgb& p = At(x, y);
    p = alpha >= 1 ? c : Mix(p, c, alpha);
    if (tracking_) {
      float& k = cover_[static_cast<size_t>(y) * width_ + x];
      k = std::max(k, static_cast<float>(std::min(alpha, 1.0)));
    }
  }

  // While on, every blend also records how much of the pixel was covered:
  // the foreground that must stay out of the water layers.
  void SetTracking(bool on) { tracking_ = on; }
  double Cover(int32_t x, int32_t y) const { return cover_[static_cast<size_t>(y) * width_ + x]; }

  DecodedPicture ToPicture() const {
    DecodedPicture p;
    p.width = width_;
    p.height = height_;
    p.pixels.resize(px_.size());
    for (size_t i = 0; i < px_.size(); ++i) p.pixels[i] = ToArgb(px_[i]);
    return p;
  }

private:
  int32_t width_, height_;
  std::vector<Rgb> px_;
  std::vector<float> cover_;
  bool tracking_ = false;
};

// A field computed every `step` pixels and read back bilinearly.
class Grid {
public:
  Grid(int32_t width, int32_t height, int32_t step, const std::function<double(double, double)>& f)
      : step_(step), cols_(width / step + 2), rows_(height / step + 2), v_(static_cast<size_t>(cols_) * rows_) {
    for (int32_t j = 0; j < rows_; ++j)
      for (int32_t i = 0; i < cols_; ++i) v_[static_cast<size_t>(j) * cols_ + i] = f(i * step_, j * step_);
  }

  double operator()(int32_t x, int32_t y) const {
    const int32_t i = std::clamp(x / step_, 0, cols_ - 2), j = std::clamp(y / step_, 0, rows_ - 2);
    const double tx = static_cast<double>(x - i * step_) / step_, ty = static_cast<double>(y - j * step_) / step_;
    const double* row = &v_[static_cast<size_t>(j) * cols_ + i];
    const double top = row[0] + (row[1] - row[0]) * tx;
    const double bottom = row[cols_] + (row[cols_ + 1] - row[cols_]) * tx;
    return top + (bottom - top) * ty;
  }

private:
  int32_t step_, cols_, rows_;
  std::vector<double> v_;
};

}  // namespace lumevra::demo
