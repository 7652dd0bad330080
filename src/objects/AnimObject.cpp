#include "objects/AnimObject.h"

#include <cmath>

#include "base/Random.h"
#include "base/Rounding.h"

namespace lumevra {

namespace {

// Round to a frame coordinate. A position far outside any frame (or not a
// number, as with a background size of 0) pins to the int32 range instead of
// overflowing the conversion.
int32_t RoundToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(Round(v));
}

}  // namespace

uint8_t ParseOffScreenEdges(std::string_view letters) {
  uint8_t edges = 0;
  if (letters.find('T') != std::string_view::npos) edges |= kEdgeTop;
  if (letters.find('B') != std::string_view::npos) edges |= kEdgeBottom;
  if (letters.find('L') != std::string_view::npos) edges |= kEdgeLeft;
  if (letters.find('R') != std::string_view::npos) edges |= kEdgeRight;
  return edges;
}

std::string OffScreenEdgesText(uint8_t edges) {
  std::string out;
  if (edges & kEdgeTop) out += 'T';
  if (edges & kEdgeBottom) out += 'B';
  if (edges & kEdgeLeft) out += 'L';
  if (edges & kEdgeRight) out += 'R';
  return out;
}

std::string ObjectSection(int32_t index) { return "Obj" + std::to_string(index); }

AnimObject::AnimObject() { Randomize(); }

int32_t AnimObject::ScreenLeft() const {
  const double x = PosX, scale = ScaleX, half = ImgWidth / 2.0;
  return RoundToInt32(Scaled ? (x - half) * scale : x * scale - half);
}

int32_t AnimObject::ScreenTop() const {
  const double y = PosY, scale = ScaleY, half = ImgHeight / 2.0;
  return RoundToInt32(Scaled ? (y - half) * scale : y * scale - half);
}

void AnimObject::SetPosX(double x) {
  PosX = x;
  CachedLeft = ScreenLeft();
}

void AnimObject::SetPosY(double y) {
  PosY = y;
  CachedTop = ScreenTop();
}

void AnimObject::PauseWorker(bool paused) {
  if (paused) {
    if (workerPaused_ || !Worker.Active()) return;
    workerPaused_ = true;
    Worker.Suspend();
  } else if (workerPaused_) {
    workerPaused_ = false;
    Worker.Resume();
  }
}

}  // namespace lumevra
