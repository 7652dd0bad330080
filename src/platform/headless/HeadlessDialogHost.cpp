#include "platform/headless/HeadlessDialogHost.h"

#include <algorithm>

namespace lumevra {

HeadlessDialogHost::Control& HeadlessDialogHost::At(std::string_view control) {
  auto it = controls.find(control);
  if (it == controls.end()) it = controls.emplace(std::string(control), Control{}).first;
  return it->second;
}

void HeadlessDialogHost::SetPosition(std::string_view control, int32_t position) {
  constexpr int32_t kCornerItems = 4;
  if (control == dialog_control::kClockCorner && (position < 0 || position >= kCornerItems)) position = -1;
  At(control).position = position;
}

void HeadlessDialogHost::UserClick(const std::string& control) {
  // Check boxes change before their click event, as on the desktop.
  namespace c = dialog_control;
  for (std::string_view box : {c::kStretch, c::kProportional, c::kSound, c::kMusic, c::kShowClock, c::kAutoPreview,
                                 c::kAllMonitors})
    if (control == box) At(control).checked = !At(control).checked;
  if (events_) events_->OnClick(control);
}

void HeadlessDialogHost::UserMoveSlider(int32_t position) {
  if (At("speed").position == position) return;
  At("speed").position = position;
  if (events_) events_->OnChange("speed");
}

void HeadlessDialogHost::UserChoose(const std::string& list, int32_t index) {
  At(list).position = index;
  if (events_) events_->OnClick(list);
}

int HeadlessDialogHost::Tick(int count) {
  int raised = 0;
  for (int i = 0; i < count && timerEnabled && !closed && events_; ++i, ++raised) events_->OnTimer();
  return raised;
}

void HeadlessDialogHost::ResizePreview(PixelSize size) {
  previewSize = size;
  if (events_) events_->OnPreviewResized();
}

void HeadlessDialogHost::ShowPreview(const PixelView& picture) {
  ++previewCount;
  lastPreview.SetSize(picture.width, picture.height);
  for (int32_t y = 0; y < picture.height; ++y)
    std::copy_n(picture.pixels + static_cast<size_t>(y) * picture.stride, picture.width, lastPreview.ScanLine(y));
}

void HeadlessDialogHost::SetTimer(bool enabled, uint32_t intervalMs) {
  timerEnabled = enabled;
  timerInterval = intervalMs;
}

void HeadlessDialogHost::Run(DialogEvents& events) {
  events_ = &events;
  closed = false;
  events.OnShow();
  for (auto& step : script) {
    if (closed) break;
    step(*this);
  }
  closed = true;
  timerEnabled = false;
  ++formCloseCount;
  events.OnClose();
  events_ = nullptr;
}

}  // namespace lumevra
