#include "ui/ConfigDialog.h"

#include "base/AnsiText.h"
#include "base/Clock.h"
#include "engine/ScenePlayer.h"
#include "graphics/FontRaster.h"
#include "package/Project.h"
#include "package/ProjectRecords.h"
#include "ui/DialogHost.h"
#include "ui/SaverSettings.h"
#include "ui/SharedFolders.h"
#include "ui/System.h"

namespace lumevra {

namespace control = dialog_control;

namespace {

int32_t SliderPositionOf(int32_t speed) {
  for (size_t p = 0; p < SpeedSteps.size(); ++p)
    if (SpeedSteps[p] == speed) return static_cast<int32_t>(p);
  return 0;  // the slider's initial position
}

int32_t SpeedAt(int32_t position) {
  if (position < 0) position = 0;
  if (position >= static_cast<int32_t>(SpeedSteps.size())) position = static_cast<int32_t>(SpeedSteps.size()) - 1;
  return SpeedSteps[static_cast<size_t>(position)];
}

}  // namespace

ConfigDialog::ConfigDialog(System& system, DialogHost& host, FontRaster* fonts)
    : system_(system), host_(host), fonts_(fonts) {}

ConfigDialog::~ConfigDialog() = default;

void ConfigDialog::OnShow() {
  PreviewSurface = std::make_unique<Bitmap32>();
  previewContent_ = PreviewContent::Nothing;
  FitPreviewSurface();
  Scene = std::make_unique<ScenePlayer>(fonts_, GetSharedImagesFolder(system_));
  Scene->Extract(system_.ProgramFile(), system_.CreateExtractionFolder());
  Project& project = Scene->GetProject();

  SettingsFile = SettingsFileToRead(system_);
  const SaverSettings s = ReadDialogSettings(SettingsFile);
  host_.SetChecked(control::kStretch, s.Stretch);
  host_.SetChecked(control::kProportional, s.Proportional);
  host_.SetChecked(control::kSound, s.Sound);
  host_.SetChecked(control::kMusic, s.Music);
  host_.SetChecked(control::kShowClock, s.ShowClock);
  host_.SetChecked(control::kAllMonitors, s.AllMonitors);
  host_.SetPosition(control::kClockCorner, SaverSettings::ValidClockPos(s.ClockPos));
  host_.SetEnabled(control::kProportional, s.Stretch);

  host_.SetText(control::kTitle, AnsiToUtf16(project.Title));
  host_.SetText(control::kDescription, AnsiToUtf16(project.Description));

  if (!project.Background.Empty()) {
    ShowPreviewOf(project.Background);
    previewContent_ = PreviewContent::Background;
  }

  host_.SetPosition(control::kSpeed, SliderPositionOf(s.Speed));
  project.SetSpeedPercent(SpeedAt(host_.Position(control::kSpeed)));
}

void ConfigDialog::OnClick(std::string_view id) {
  if (id == control::kAutoPreview) OnAutoPreviewToggled();
  else if (id == control::kStretch || id == control::kProportional) OnStretchToggled();
  else if (id == control::kOk) OnOk();
  else if (id == control::kCancel) OnCancel();
  else if (id == control::kReset) OnReset();
  // Sound, Music, Show Clock and the clock corner are only stored by OK.
}

void ConfigDialog::OnChange(std::string_view id) {
  if (id == control::kSpeed) OnSpeedChanged();
}

void ConfigDialog::SetPreviewRunning(bool on) {
  if (!on) {
    host_.SetTimer(false, 1);
    return;
  }
  if (!Scene || !Scene->Loaded()) return;
  try {
    // The preview shows the picture as it is, at the speed on the slider.
    SceneOptions options;
    options.speedPercent = Scene->GetProject().SpeedPercent;
    Scene->Prepare(options);
  } catch (...) {
    // A project the engine cannot prepare has nothing to preview.
    host_.SetTimer(false, 1);
    return;
  }
  host_.SetTimer(false, 1);
  host_.SetTimer(true, 1);
}

void ConfigDialog::OnPreviewTimer() {
  if (!Scene || !Scene->Prepared() || !PreviewSurface) return;
  try {
    Scene->Step();
    ShowPreviewOf(Scene->Frame());
    previewContent_ = PreviewContent::Frame;
    const int64_t delay = int64_t{kFrameInterval} - int64_t{TicksBetween(LastPreviewTick, TickCount())};
    if (delay > 0) SleepMs(static_cast<uint32_t>(delay));
    LastPreviewTick = TickCount();
  } catch (...) {
    // The dialog must outlive a bad frame; the next tick tries again.
  }
}

void ConfigDialog::FitPreviewSurface() {
  PixelSize size = host_.PreviewSize();
  if (size.cx <= 0 || size.cy <= 0) size = DialogHost::kPreviewSize96;
  if (PreviewSurface->Width() != size.cx || PreviewSurface->Height() != size.cy)
    PreviewSurface->SetSize(size.cx, size.cy);
}

void ConfigDialog::ShowPreviewOf(const Bitmap32& source) {
  PreviewSurface->DrawStretched(Rect{0, 0, PreviewSurface->Width(), PreviewSurface->Height()},
                                Rect{0, 0, source.Width(), source.Height()}, source);
  host_.ShowPreview(PreviewSurface->View());
}

void ConfigDialog::OnPreviewResized() {
  if (!PreviewSurface) return;
  FitPreviewSurface();
  // Made again from its source, so a larger preview gains detail instead of
  // enlarging the smaller picture.
  try {
    if (previewContent_ == PreviewContent::Frame && Scene && Scene->Prepared())
      ShowPreviewOf(Scene->Frame());
    else if (previewContent_ != PreviewContent::Nothing && Scene && Scene->Loaded() &&
             !Scene->GetProject().Background.Empty())
      ShowPreviewOf(Scene->GetProject().Background);
  } catch (...) {
    // As a bad preview frame: the next picture replaces it.
  }
}

void ConfigDialog::UntickAutoPreview() {
  if (!host_.Checked(control::kAutoPreview)) return;
  host_.SetChecked(control::kAutoPreview, false);
  OnAutoPreviewToggled();
}

void ConfigDialog::OnAutoPreviewToggled() { SetPreviewRunning(host_.Checked(control::kAutoPreview)); }

void ConfigDialog::OnSpeedChanged() {
  UntickAutoPreview();
  SetPreviewRunning(false);
  if (Scene && Scene->Loaded()) Scene->GetProject().SetSpeedPercent(SpeedAt(host_.Position(control::kSpeed)));
}

void ConfigDialog::OnReset() {
  if (host_.Position(control::kSpeed) == 10) return;
  host_.SetPosition(control::kSpeed, 10);
  OnSpeedChanged();
}

void ConfigDialog::OnStretchToggled() {
  host_.SetFocus(control::kPictureGroup);
  host_.SetEnabled(control::kProportional, host_.Checked(control::kStretch));
}

void ConfigDialog::OnOk() {
  UntickAutoPreview();
  SaverSettings s;
  s.Speed = SpeedAt(host_.Position(control::kSpeed));
  s.Stretch = host_.Checked(control::kStretch);
  s.Proportional = host_.Checked(control::kProportional);
  s.Sound = host_.Checked(control::kSound);
  s.Music = host_.Checked(control::kMusic);
  s.ClockPos = SaverSettings::ValidClockPos(host_.Position(control::kClockCorner));
  s.ShowClock = host_.Checked(control::kShowClock);
  s.AllMonitors = host_.Checked(control::kAllMonitors);
  try {
    WriteSettings(SettingsFileToWrite(system_), s, SettingsFile);
  } catch (const SettingsWriteError& e) {
    host_.ShowError(Utf8ToUtf16(e.what()));
    return;
  }
  host_.Close();
}

void ConfigDialog::OnCancel() {
  SetPreviewRunning(false);
  UntickAutoPreview();
  host_.Close();
}

void ConfigDialog::OnClose() {
  auto absorb = [](auto&& step) {
    try {
      step();
    } catch (...) {
    }
  };
  absorb([&] { UntickAutoPreview(); });
  absorb([&] {
    if (Scene) Scene->Release();
  });
  absorb([&] { PreviewSurface.reset(); });
  absorb([&] {
    if (Scene) Scene->RemoveExtractedFiles();
  });
}

}  // namespace lumevra
