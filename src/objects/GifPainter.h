// GifPainter: plays the frames of a GIF animation in turn, each after its
// delay scaled by the animation speed, looping until stopped.
//
// Frames are composed off-screen on a canvas of the logical screen (the
// disposal of each frame applied before the next, the canvas cleared to
// the background colour at the start of each loop) and then published to
// the frame reader through three preallocated surfaces: the painter fills
// the one it owns and swaps it with the shared middle one in one atomic
// exchange; the reader swaps the middle one in when it is newer than its
// own. So the reader never sees a half-painted frame and nothing locks.
// There is exactly one reader: the thread that draws frames.
//
// Time comes from TickCount(). The painter runs on a thread of its own, or
// is driven by the caller through Advance (tools and tests on a manual
// clock); the waits of the thread are real time, so it never winds a
// manual clock forward.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/GifDecoder.h"

namespace lumevra {

// Frames reach the surface as a device context paints them: colour only,
// alpha 0, so painted pure yellow equals the key colour.
inline constexpr Color32 kGifPaintMask = 0x00FFFFFFu;

// The shortest time a frame stays, so that frames with no delay do not
// make the painter spin.
inline constexpr uint32_t kMinGifFrameMs = 10;

// Milliseconds frame `delayCs` stays at `speedPercent` (1..1000): the delay
// x 100 / speed, at least kMinGifFrameMs; a speed of 0 or less never ends
// the frame (the largest value).
uint32_t ScaledFrameMs(int32_t delayCs, int32_t speedPercent);

// Paints frame `index` of the animation onto `canvas` (the logical screen,
// width x height pixels): transparent pixels left as they are, painted
// pixels masked by kGifPaintMask.
void PaintGifCanvasFrame(const GifAnimation& gif, size_t index, Color32* canvas);

class GifPainter {
public:
  // `like` gives the published surfaces their drawing properties and
  // handlers; `background` is what disposal and a new loop restore.
  // A speed of 0 shows the first frame and stands still.
  GifPainter(std::shared_ptr<const GifAnimation> gif, int32_t speedPercent, Color32 background,
             const Bitmap32& like);
  ~GifPainter();
  GifPainter(const GifPainter&) = delete;
  GifPainter& operator=(const GifPainter&) = delete;

  // Starts playing now: the first frame is shown, the next is due after
  // its delay. `threaded`: on the painter's own thread, else by Advance
  // (a still animation, one frame or speed 0, starts no thread).
  void Start(bool threaded);
  // Switches between the own thread and Advance while playing.
  void SetThreaded(bool threaded);
  // Ends the thread (joined) and the playing; the last frame stays shown.
  void Stop();
  bool Playing() const { return playing_.load(std::memory_order_relaxed); }
  bool ThreadRunning() const;

  // Shows every frame whose time has come. Returns the frames stepped.
  // Only the painter's own thread calls it while that thread runs.
  size_t Advance();

  // The latest published frame; valid until the next call. One reader only.
  const Bitmap32& Acquire() const;
  // The frame index last published.
  size_t ShownFrame() const { return shown_.load(std::memory_order_relaxed); }
  // Frames shown since Start (the first included).
  uint64_t FramesShown() const { return framesShown_.load(std::memory_order_relaxed); }

  void SetMasterAlpha(uint8_t alpha);

private:
  void Run();
  void StopThread();
  // Composes the next frame (with disposal and loop clearing) on the canvas.
  void ComposeNext();
  void Publish();
  uint32_t LoopMs() const;

  std::shared_ptr<const GifAnimation> gif_;
  int32_t speed_;
  Color32 background_;
  std::vector<Color32> canvas_;
  std::vector<Color32> saved_;  // the canvas before a "restore previous" frame
  size_t current_ = 0;           // the frame on the canvas
  uint32_t due_ = 0;             // tick count at which the next frame shows

  // Three surfaces: back_ is the painter's, middle_ the shared one (with
  // kFresh when newer than the reader's), front_ the reader's.
  static constexpr uint8_t kFresh = 4;
  static constexpr uint8_t kIndexMask = 3;
  Bitmap32 surfaces_[3];
  uint8_t back_ = 1;
  mutable std::atomic<uint8_t> middle_{2};
  mutable uint8_t front_ = 0;

  std::atomic<size_t> shown_{0};
  std::atomic<uint64_t> framesShown_{0};
  std::atomic<bool> playing_{false};

  std::mutex stepMutex_;  // one composer at a time
  std::mutex waitMutex_;
  std::condition_variable wake_;
  bool stopThread_ = false;  // under waitMutex_
  std::thread thread_;
};

}  // namespace lumevra
