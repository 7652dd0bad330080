// The headless configuration dialog: named controls in memory, a timer that
// ticks when the test says, and user actions that change a control and raise
// its event as a desktop would. Records previews, errors and the focus.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/PixelView.h"
#include "ui/DialogHost.h"

namespace lumevra {

class HeadlessDialogHost final : public DialogHost {
public:
  struct Control {
    std::u16string text;
    int32_t position = 0;
    bool checked = false;
    bool enabled = true;
  };

  // What Run does: OnShow, then each step in turn while the dialog is
  // open (a step may act as the user and let the timer tick), then the
  // close box if still open, then OnClose.
  std::vector<std::function<void(HeadlessDialogHost&)>> script;

  // User actions, raising the events a desktop would.
  void UserClick(const std::string& control);  // toggles a check box first
  void UserMoveSlider(int32_t position);       // "speed"
  void UserChoose(const std::string& list, int32_t index);
  // Timer events while the timer is enabled; returns how many were raised.
  int Tick(int count = 1);
  // The dialog moved to a screen of another DPI: the preview control takes
  // `size` and raises its event.
  void ResizePreview(PixelSize size);

  std::map<std::string, Control, std::less<>> controls;
  std::string focus;
  int previewCount = 0;
  Bitmap32 lastPreview;
  PixelSize previewSize = kPreviewSize96;
  bool timerEnabled = false;
  uint32_t timerInterval = 0;
  std::vector<std::u16string> errors;
  bool closed = false;
  int formCloseCount = 0;

  void Attach(DialogEvents* events) { events_ = events; }
  Control& At(std::string_view control);

  // DialogHost
  void Run(DialogEvents& events) override;
  void SetText(std::string_view control, std::u16string_view text) override { At(control).text = text; }
  int32_t Position(std::string_view control) override { return At(control).position; }
  // As on a desktop, a list given a position outside its items selects
  // nothing (-1); the corner list holds four.
  void SetPosition(std::string_view control, int32_t position) override;
  bool Checked(std::string_view control) override { return At(control).checked; }
  void SetChecked(std::string_view control, bool checked) override { At(control).checked = checked; }
  void SetEnabled(std::string_view control, bool enabled) override { At(control).enabled = enabled; }
  void SetFocus(std::string_view control) override { focus = control; }
  void ShowPreview(const PixelView& picture) override;
  PixelSize PreviewSize() override { return previewSize; }
  void SetTimer(bool enabled, uint32_t intervalMs) override;
  void ShowError(std::u16string_view message) override { errors.emplace_back(message); }
  void Close() override { closed = true; }

private:
  DialogEvents* events_ = nullptr;
};

}  // namespace lumevra
