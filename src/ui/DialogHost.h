// The configuration dialog as its logic sees it: controls addressed by the
// ids below, a timer, and the events the backend's dialog delivers.
#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/PixelView.h"

namespace lumevra {

// The dialog's controls. A backend lays them out and reports user actions
// under these ids.
namespace dialog_control {
inline constexpr std::string_view kWindow = "window";
inline constexpr std::string_view kPictureGroup = "pictureGroup";  // the preview, title and description
inline constexpr std::string_view kPreview = "preview";
inline constexpr std::string_view kTitle = "title";
inline constexpr std::string_view kDescription = "description";
inline constexpr std::string_view kOptionsPanel = "optionsPanel";
inline constexpr std::string_view kSpeedLabel = "speedLabel";
inline constexpr std::string_view kSpeed = "speed";  // the slider
inline constexpr std::string_view kReset = "reset";  // speed back to 100 %
inline constexpr std::string_view kStretch = "stretch";
inline constexpr std::string_view kProportional = "proportional";
inline constexpr std::string_view kSound = "sound";
inline constexpr std::string_view kMusic = "music";
inline constexpr std::string_view kShowClock = "showClock";
inline constexpr std::string_view kSeparator = "separator";
inline constexpr std::string_view kAutoPreview = "autoPreview";
inline constexpr std::string_view kAllMonitors = "allMonitors";  // the scene on every monitor
inline constexpr std::string_view kClockCorner = "clockCorner";  // the list of corners
inline constexpr std::string_view kOk = "ok";
inline constexpr std::string_view kCancel = "cancel";
}  // namespace dialog_control

// The events of the configuration dialog.
class DialogEvents {
public:
  virtual ~DialogEvents() = default;
  virtual void OnShow() = 0;
  // A click on a check box or button, or a new choice in a list, by the
  // user, by control id.
  virtual void OnClick(std::string_view control) = 0;
  // The slider moved by the user.
  virtual void OnChange(std::string_view control) = 0;
  virtual void OnTimer() = 0;
  // The window's close box, or the end after OK or Cancel.
  virtual void OnClose() = 0;
  // The preview control took a new size (the dialog moved to a screen of
  // another DPI): the picture is wanted again at the host's PreviewSize().
  virtual void OnPreviewResized() {}
};

// The configuration dialog's controls and timer, addressed by their ids.
// Setting a value from here never raises an event: the logic calls its own
// handlers where one should follow.
class DialogHost {
public:
  // The preview control's size at 96 DPI.
  static constexpr PixelSize kPreviewSize96{243, 180};

  virtual ~DialogHost() = default;
  // Creates and shows the dialog, delivers OnShow, then the user's events
  // and the timer until Close; OnClose comes last.
  virtual void Run(DialogEvents& events) = 0;
  virtual void SetText(std::string_view control, std::u16string_view text) = 0;
  // Slider position, or the item index of a list.
  virtual int32_t Position(std::string_view control) = 0;
  virtual void SetPosition(std::string_view control, int32_t position) = 0;
  virtual bool Checked(std::string_view control) = 0;
  virtual void SetChecked(std::string_view control, bool checked) = 0;
  virtual void SetEnabled(std::string_view control, bool enabled) = 0;
  virtual void SetFocus(std::string_view control) = 0;
  // The picture of the preview control, copied and repainted.
  virtual void ShowPreview(const PixelView& picture) = 0;
  // The preview control's size in pixels, which the picture should have to
  // be shown pixel for pixel (larger than kPreviewSize96 on a denser screen).
  virtual PixelSize PreviewSize() { return kPreviewSize96; }
  virtual void SetTimer(bool enabled, uint32_t intervalMs) = 0;
  // The framework's error message; the dialog stays open.
  virtual void ShowError(std::u16string_view message) = 0;
  virtual void Close() = 0;
};

}  // namespace lumevra
