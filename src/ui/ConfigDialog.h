// ConfigDialog: the screensaver's settings page. It shows the project's
// title, description and picture, lets the user choose speed, stretching,
// sound, music and the clock, runs a small live preview while "Auto
// Preview" is ticked, and writes the settings file on OK. The backend owns
// the real dialog (DialogHost) and delivers its events here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "graphics/Bitmap32.h"
#include "graphics/FontRaster.h"
#include "ui/DialogHost.h"
#include "ui/System.h"

namespace lumevra {

class ScenePlayer;

class ConfigDialog final : public DialogEvents {
public:
  // The preview's size at 96 DPI; the picture is made at the host's PreviewSize().
  static constexpr int32_t kPreviewWidth = DialogHost::kPreviewSize96.cx;
  static constexpr int32_t kPreviewHeight = DialogHost::kPreviewSize96.cy;
  static constexpr uint32_t kFrameInterval = 32;

  ConfigDialog(System& system, DialogHost& host, FontRaster* fonts);
  ~ConfigDialog() override;
  ConfigDialog(const ConfigDialog&) = delete;
  ConfigDialog& operator=(const ConfigDialog&) = delete;

  // DialogEvents
  void OnShow() override;
  void OnClick(std::string_view control) override;
  void OnChange(std::string_view control) override;
  void OnTimer() override { OnPreviewTimer(); }
  void OnClose() override;
  void OnPreviewResized() override;

  void SetPreviewRunning(bool on);
  void OnPreviewTimer();
  void OnOk();
  void OnCancel();
  void OnReset();
  void OnSpeedChanged();
  void OnStretchToggled();
  void OnAutoPreviewToggled();

  std::filesystem::path SettingsFile;  // the file the shown settings came from
  uint32_t LastPreviewTick = 0;
  std::unique_ptr<ScenePlayer> Scene;
  std::unique_ptr<Bitmap32> PreviewSurface;

private:
  // Unticks "Auto Preview" and runs its handler, as a change of the box by
  // code does.
  void UntickAutoPreview();
  // The preview surface at the host's preview size.
  void FitPreviewSurface();
  // `source` stretched over the preview surface, handed to the host.
  void ShowPreviewOf(const Bitmap32& source);

  // What the preview shows, to draw it again at a new size.
  enum class PreviewContent { Nothing, Background, Frame };
  PreviewContent previewContent_ = PreviewContent::Nothing;

  System& system_;
  DialogHost& host_;
  FontRaster* fonts_;
};

}  // namespace lumevra
