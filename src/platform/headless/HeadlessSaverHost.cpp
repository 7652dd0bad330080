#include "platform/headless/HeadlessSaverHost.h"

#include <algorithm>

namespace lumevra {

HeadlessSaverHost::HeadlessSaverHost(int32_t screenWidth, int32_t screenHeight)
    : screen_{screenWidth, screenHeight} {}

void HeadlessSaverHost::SetPlacement(int32_t left, int32_t top, int32_t width, int32_t height) {
  placements.push_back({left, top, width, height});
  // No frame around the client area here: the outer size is the client size.
  const bool resized = client_.cx != width || client_.cy != height;
  client_ = {std::max(width, 0), std::max(height, 0)};
  if (resized && events_) events_->OnResize();
}

void HeadlessSaverHost::Present(const PixelView& frame, int32_t left, int32_t top) {
  ++presentCount;
  lastLeft = left;
  lastTop = top;
  lastFrame.SetSize(frame.width, frame.height);
  for (int32_t y = 0; y < frame.height; ++y)
    std::copy_n(frame.pixels + static_cast<size_t>(y) * frame.stride, frame.width, lastFrame.ScanLine(y));
}

void HeadlessSaverHost::Client(Bitmap32& client) const {
  client.SetSize(client_.cx, client_.cy);
  client.Clear(0xFF000000);
  if (!lastFrame.Empty()) client.Draw(lastLeft, lastTop, lastFrame);
}

bool HeadlessSaverHost::VerifyPassword() {
  ++passwordChecks;
  return passwordAllows;
}

bool HeadlessSaverHost::CursorVisible() const {
  int count = 0;
  for (bool show : cursorCalls) count += show ? 1 : -1;
  return count >= 0;
}

void HeadlessSaverHost::Deliver(const HeadlessInput& input) {
  switch (input.kind) {
    case HeadlessInput::MouseMove: events_->OnMouseMove(input.x, input.y); break;
    case HeadlessInput::MouseDown: events_->OnMouseDown(); break;
    case HeadlessInput::KeyDown: events_->OnKeyDown(); break;
    case HeadlessInput::CloseBox: events_->Close(); break;
  }
}

void HeadlessSaverHost::Run(SaverEvents& events) {
  events_ = &events;
  running = true;
  closed = false;
  events.OnShow();
  for (int frame = 0; !closed; ++frame) {
    for (const HeadlessInput& input : script)
      if (input.frame == frame && !closed) Deliver(input);
    if (closed) break;
    if (hasMusic) music.DeliverNotifications();
    if (closed) break;
    if (idleInstalled) {
      ++idleCalls;
      events.OnIdle();
    }
    if (frame + 1 == maxFrames && !closed) events.Close();
    if (frame + 1 >= 2 * maxFrames) break;
  }
  closed = true;
  running = false;
  events_ = nullptr;
}

}  // namespace lumevra
