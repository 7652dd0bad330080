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

PixelSize HeadlessSaverHost::ScreenSize() {
  for (const Monitor& m : monitors)
    if (m.primary) return {m.bounds.width, m.bounds.height};
  return screen_;
}

std::vector<Monitor> HeadlessSaverHost::Monitors() {
  if (monitors.empty()) return {Monitor{{0, 0, screen_.cx, screen_.cy}, true}};
  return monitors;
}

void HeadlessSaverHost::Present(const PixelView& frame, int32_t left, int32_t top) {
  ++presentCount;
  lastLeft = left;
  lastTop = top;
  lastPlaces.clear();
  lastFrame.SetSize(frame.width, frame.height);
  for (int32_t y = 0; y < frame.height; ++y)
    std::copy_n(frame.pixels + static_cast<size_t>(y) * frame.stride, frame.width, lastFrame.ScanLine(y));
}

void HeadlessSaverHost::PresentPlaced(const PixelView& frame, std::span<const PixelRect> places) {
  Present(frame, places.empty() ? 0 : places.front().left, places.empty() ? 0 : places.front().top);
  lastPlaces.assign(places.begin(), places.end());
}

void HeadlessSaverHost::Client(Bitmap32& client) const {
  client.SetSize(client_.cx, client_.cy);
  client.Clear(0xFF000000);
  if (lastFrame.Empty()) return;
  if (lastPlaces.empty()) {
    client.Draw(lastLeft, lastTop, lastFrame);
    return;
  }
  // Nearest pixels, clipped to the client area.
  for (const PixelRect& place : lastPlaces)
    for (int32_t y = std::max(place.top, 0); y < std::min(place.top + place.height, client.Height()); ++y) {
      const int32_t sy = static_cast<int32_t>(int64_t{y - place.top} * lastFrame.Height() / place.height);
      for (int32_t x = std::max(place.left, 0); x < std::min(place.left + place.width, client.Width()); ++x) {
        const int32_t sx = static_cast<int32_t>(int64_t{x - place.left} * lastFrame.Width() / place.width);
        client.ScanLine(y)[x] = lastFrame.ScanLine(sy)[sx];
      }
    }
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
    case HeadlessInput::DisplayOff: events_->OnDisplayPower(false); break;
    case HeadlessInput::DisplayOn: events_->OnDisplayPower(true); break;
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
