// TfmCOnfig: the screensaver's settings page. It shows the project's title,
// description and picture, lets the user choose speed, stretching, sound,
// music and the clock, runs a small live preview while "Auto Preview" is
// ticked, and writes the settings file on OK. The backend owns the real
// dialog (DialogHost) and delivers its events here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "graphics/Bitmap32.h"
#include "package/uProjectExtractor.h"
#include "platform/Platform.h"

namespace lumevra {

class TAnimEngine;
class TProject;

class TfmCOnfig final : public DialogEvents {
public:
  static constexpr int32_t kPreviewWidth = 243;
  static constexpr int32_t kPreviewHeight = 180;
  static constexpr uint32_t kFrameInterval = 32;

  TfmCOnfig(System& system, DialogHost& host, FontRaster* fonts);
  ~TfmCOnfig() override;
  TfmCOnfig(const TfmCOnfig&) = delete;
  TfmCOnfig& operator=(const TfmCOnfig&) = delete;

  // DialogEvents
  void FormShow() override;
  void Click(std::string_view control) override;
  void Change(std::string_view control) override;
  void Timer() override { tmrAnimTimer(); }
  void FormClose() override;

  void SetPreviewRunning(bool on);
  void tmrAnimTimer();
  void MyButton21Click();    // OK
  void btnCancelClick();     // Cancel
  void SpeedButton6Click();  // Reset
  void tbSpeedChange();
  void cbStretchClick();
  void CheckBox1Click();  // Auto Preview

  std::filesystem::path SettingsFile;
  uint32_t LastPreviewTick = 0;
  ResourceSet Resources;
  std::unique_ptr<TProject> Project;
  std::unique_ptr<TAnimEngine> Engine;
  std::unique_ptr<TBitmap32> PreviewSurface;

private:
  // Unticks "Auto Preview" and runs its click handler, as a change of the
  // box by code does.
  void UntickAutoPreview();

  System& system_;
  DialogHost& host_;
  FontRaster* fonts_;
  bool extracted_ = false;
};

}  // namespace lumevra
