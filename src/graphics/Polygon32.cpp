#include "graphics/Polygon32.h"

#include <algorithm>
#include <cmath>

#include "graphics/Blend.h"

namespace lumevra {

namespace {

struct Edge {
  double x0, y0, x1, y1;
  int dir;  // +1 downwards, -1 upwards
};

struct Crossing {
  double x;
  int dir;
  bool operator<(const Crossing& o) const { return x < o.x; }
};

double ToPixels(int32_t fixed) { return static_cast<double>(fixed) / 65536.0; }

// Adds the sub-samples k0..k1-1 of a sub-scanline to the coverage of the
// pixels they fall in; coverage[0] is pixel column `left`.
void AddSpan(std::vector<uint32_t>& coverage, int64_t left, int64_t k0, int64_t k1, int32_t scale) {
  while (k0 < k1) {
    const int64_t pixel = k0 / scale;
    const int64_t end = std::min(k1, (pixel + 1) * scale);
    coverage[static_cast<size_t>(pixel - left)] += static_cast<uint32_t>(end - k0);
    k0 = end;
  }
}

}  // namespace

int32_t Polygon32::SubSamples() const { return AntialiasMode <= 4 ? 32 >> AntialiasMode : 1; }

void Polygon32::DrawFill(Bitmap32& surface, Color32 color) const {
  const Rect& clip = surface.ClipRect();
  if (surface.Empty() || clip.Width() <= 0 || clip.Height() <= 0) return;

  std::vector<Edge> edges;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool any = false;
  for (const auto& contour : contours_) {
    if (contour.size() < 3) continue;
    for (size_t i = 0; i < contour.size(); ++i) {
      const FixedPoint& a = contour[i];
      const FixedPoint& b = contour[(i + 1) % contour.size()];
      const double ax = ToPixels(a.X), ay = ToPixels(a.Y);
      if (!any) {
        minX = maxX = ax;
        minY = maxY = ay;
        any = true;
      }
      minX = std::min(minX, ax), maxX = std::max(maxX, ax);
      minY = std::min(minY, ay), maxY = std::max(maxY, ay);
      if (a.Y == b.Y) continue;  // horizontal edges cross no sub-scanline
      edges.push_back({ax, ay, ToPixels(b.X), ToPixels(b.Y), a.Y < b.Y ? 1 : -1});
    }
  }
  if (edges.empty()) return;

  // Only the pixels of the bounding box that lie in the clip rectangle.
  const int64_t left = std::max<int64_t>(clip.Left, static_cast<int64_t>(std::floor(minX)));
  const int64_t right = std::min<int64_t>(clip.Right, static_cast<int64_t>(std::ceil(maxX)));
  const int64_t top = std::max<int64_t>(clip.Top, static_cast<int64_t>(std::floor(minY)));
  const int64_t bottom = std::min<int64_t>(clip.Bottom, static_cast<int64_t>(std::ceil(maxY)));
  if (left >= right || top >= bottom) return;

  const int32_t scale = Antialiased ? SubSamples() : 1;
  const uint32_t full = static_cast<uint32_t>(scale) * static_cast<uint32_t>(scale);
  const uint32_t alpha = AlphaOf(color);
  std::vector<uint32_t> coverage(static_cast<size_t>(right - left));
  std::vector<Crossing> crossings;

  for (int64_t py = top; py < bottom; ++py) {
    std::fill(coverage.begin(), coverage.end(), 0);
    for (int32_t s = 0; s < scale; ++s) {
      // Sub-scanlines sample at the middle of each sub-row.
      const double yc = static_cast<double>(py) + (s + 0.5) / scale;
      crossings.clear();
      for (const Edge& e : edges) {
        const bool inside = e.dir > 0 ? (e.y0 <= yc && yc < e.y1) : (e.y1 <= yc && yc < e.y0);
        if (!inside) continue;
        crossings.push_back({e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
      }
      std::sort(crossings.begin(), crossings.end());
      int winding = 0;
      for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].dir;
        const bool filled = FillMode == PolyFillMode::pfAlternate ? (i % 2 == 0) : winding != 0;
        if (!filled) continue;
        // Sub-sample columns whose middles lie in [xa, xb), cut to the box.
        const auto k0 = std::max(left * scale, static_cast<int64_t>(std::ceil(crossings[i].x * scale - 0.5)));
        const auto k1 = std::min(right * scale, static_cast<int64_t>(std::ceil(crossings[i + 1].x * scale - 0.5)));
        AddSpan(coverage, left, k0, k1, scale);
      }
    }
    Color32* row = surface.ScanLine(static_cast<int32_t>(py));
    for (size_t i = 0; i < coverage.size(); ++i) {
      if (coverage[i] == 0) continue;
      const uint32_t a = (alpha * coverage[i] + full / 2) / full;
      if (a != 0) row[static_cast<size_t>(left) + i] = BlendPixel(color, row[static_cast<size_t>(left) + i], a);
    }
  }
}

}  // namespace lumevra
