#include "objects/GifPainter.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <utility>

#include "base/Clock.h"

namespace lumevra {

namespace {

// The longest real-time wait of the thread: it looks at the tick count at
// least this often, so a manual clock moved by a test is noticed.
constexpr uint32_t kLongestWaitMs = 20;

// The frame's rectangle clipped to the screen.
Rect FrameArea(const GifFrame& frame, int32_t width, int32_t height) {
  return IntersectRect(Rect{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height},
                       Rect{0, 0, width, height});
}

void FillArea(std::vector<Color32>& canvas, int32_t width, const Rect& area, Color32 color) {
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    auto row = canvas.begin() + static_cast<ptrdiff_t>(y) * width;
    std::fill(row + area.Left, row + area.Right, color);
  }
}

}  // namespace

uint32_t ScaledFrameMs(int32_t delayCs, int32_t speedPercent) {
  if (speedPercent <= 0) return std::numeric_limits<uint32_t>::max();
  const int64_t ms = int64_t{std::max(delayCs, 0)} * 10 * 100 / speedPercent;
  return static_cast<uint32_t>(std::clamp<int64_t>(ms, kMinGifFrameMs, std::numeric_limits<int32_t>::max()));
}

void PaintGifCanvasFrame(const GifAnimation& gif, size_t index, Color32* canvas) {
  if (index >= gif.frames.size()) return;
  const GifFrame& frame = gif.frames[index];
  PaintGifFrame(frame, gif.width, gif.height, canvas);
  const Rect area = FrameArea(frame, gif.width, gif.height);
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    Color32* row = canvas + static_cast<size_t>(y) * gif.width;
    for (int32_t x = area.Left; x < area.Right; ++x) row[x] &= kGifPaintMask;
  }
}

GifPainter::GifPainter(std::shared_ptr<const GifAnimation> gif, int32_t speedPercent, Color32 background,
                       const Bitmap32& like)
    : gif_(std::move(gif)), speed_(speedPercent), background_(background) {
  canvas_.assign(static_cast<size_t>(gif_->width) * static_cast<size_t>(gif_->height), background_);
  for (Bitmap32& surface : surfaces_) {
    surface.SetSize(gif_->width, gif_->height);
    surface.Clear(background_);
    surface.Mode = like.Mode;
    surface.Combine = like.Combine;
    surface.OuterColor = like.OuterColor;
    surface.Filter = like.Filter;
    surface.SetMasterAlpha(like.MasterAlpha());
    surface.OnPixelCombine = like.OnPixelCombine;
    surface.OnPixelAlpha = like.OnPixelAlpha;
  }
}

GifPainter::~GifPainter() { Stop(); }

void GifPainter::Start(bool threaded) {
  StopThread();
  {
    const std::lock_guard<std::mutex> step(stepMutex_);
    std::fill(canvas_.begin(), canvas_.end(), background_);
    current_ = 0;
    if (gif_->frames.front().disposal == GifDisposal::RestorePrevious) saved_ = canvas_;
    PaintGifCanvasFrame(*gif_, 0, canvas_.data());
    Publish();
    framesShown_.store(1, std::memory_order_relaxed);
    due_ = TickCount() + ScaledFrameMs(gif_->frames.front().delayCs, speed_);
    playing_.store(true, std::memory_order_relaxed);
  }
  if (threaded) SetThreaded(true);
}

void GifPainter::SetThreaded(bool threaded) {
  if (!threaded) {
    StopThread();
    return;
  }
  if (!Playing() || thread_.joinable() || speed_ <= 0 || gif_->frames.size() < 2) return;
  {
    const std::lock_guard<std::mutex> lock(waitMutex_);
    stopThread_ = false;
  }
  thread_ = std::thread([this] { Run(); });
}

void GifPainter::Stop() {
  StopThread();
  playing_.store(false, std::memory_order_relaxed);
}

bool GifPainter::ThreadRunning() const { return thread_.joinable(); }

void GifPainter::StopThread() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(waitMutex_);
    stopThread_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void GifPainter::Run() {
  for (;;) {
    Advance();
    uint32_t wait = kLongestWaitMs;
    {
      const std::lock_guard<std::mutex> step(stepMutex_);
      const auto untilDue = static_cast<int32_t>(due_ - TickCount());
      if (untilDue > 0) wait = std::min(wait, static_cast<uint32_t>(untilDue));
      else wait = 1;
    }
    std::unique_lock<std::mutex> lock(waitMutex_);
    if (wake_.wait_for(lock, std::chrono::milliseconds(wait), [this] { return stopThread_; })) return;
  }
}

uint32_t GifPainter::LoopMs() const {
  uint64_t total = 0;
  for (const GifFrame& frame : gif_->frames) total += ScaledFrameMs(frame.delayCs, speed_);
  return static_cast<uint32_t>(std::min<uint64_t>(total, std::numeric_limits<uint32_t>::max()));
}

size_t GifPainter::Advance() {
  const std::lock_guard<std::mutex> step(stepMutex_);
  const auto& frames = gif_->frames;
  if (!Playing() || speed_ <= 0 || frames.size() < 2) return 0;
  const uint32_t now = TickCount();
  auto behind = static_cast<int32_t>(now - due_);
  if (behind < 0) {
    // A clock set back: wait at most one frame, not until it comes round.
    const uint32_t frameMs = ScaledFrameMs(frames[current_].delayCs, speed_);
    if (static_cast<uint32_t>(-int64_t{behind}) > frameMs) due_ = now + frameMs;
    return 0;
  }
  uint64_t steps = 0;
  // Whole loops behind are skipped at once: every loop starts from a clear
  // canvas, so the frame and the canvas come out the same.
  const uint32_t loop = LoopMs();
  if (loop > 0 && static_cast<uint32_t>(behind) >= loop) {
    const uint32_t loops = static_cast<uint32_t>(behind) / loop;
    due_ += loops * loop;
    steps += uint64_t{loops} * frames.size();
  }
  while (static_cast<int32_t>(now - due_) >= 0) {
    ComposeNext();
    due_ += ScaledFrameMs(frames[current_].delayCs, speed_);
    ++steps;
  }
  Publish();
  framesShown_.fetch_add(steps, std::memory_order_relaxed);
  return static_cast<size_t>(steps);
}

void GifPainter::ComposeNext() {
  const auto& frames = gif_->frames;
  const GifFrame& previous = frames[current_];
  size_t next = current_ + 1;
  if (next >= frames.size()) {
    next = 0;
    std::fill(canvas_.begin(), canvas_.end(), background_);
  } else if (previous.disposal == GifDisposal::RestoreBackground) {
    FillArea(canvas_, gif_->width, FrameArea(previous, gif_->width, gif_->height), background_);
  } else if (previous.disposal == GifDisposal::RestorePrevious && saved_.size() == canvas_.size()) {
    canvas_ = saved_;
  }
  if (frames[next].disposal == GifDisposal::RestorePrevious) saved_ = canvas_;
  PaintGifCanvasFrame(*gif_, next, canvas_.data());
  current_ = next;
}

void GifPainter::Publish() {
  Bitmap32& back = surfaces_[back_];
  std::copy(canvas_.begin(), canvas_.end(), back.Bits());
  shown_.store(current_, std::memory_order_relaxed);
  back_ = middle_.exchange(static_cast<uint8_t>(back_ | kFresh), std::memory_order_acq_rel) & kIndexMask;
}

const Bitmap32& GifPainter::Acquire() const {
  if (middle_.load(std::memory_order_acquire) & kFresh)
    front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndexMask;
  return surfaces_[front_];
}

void GifPainter::SetMasterAlpha(uint8_t alpha) {
  for (Bitmap32& surface : surfaces_) surface.SetMasterAlpha(alpha);
}

}  // namespace lumevra
