#include "ui/FConfig.h"

#include "base/AnsiText.h"
#include "base/Ticks.h"
#include "engine/uAnimEngine.h"
#include "objects/AnimObjects.h"
#include "package/uCommonConst.h"
#include "package/uKAProject.h"
#include "ui/SaverSettings.h"
#include "ui/uConfig.h"

namespace lumevra {

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

TfmCOnfig::TfmCOnfig(System& system, DialogHost& host, FontRaster* fonts)
    : system_(system), host_(host), fonts_(fonts) {}

TfmCOnfig::~TfmCOnfig() {
  Engine.reset();
  Project.reset();
}

void TfmCOnfig::FormShow() {
  PreviewSurface = std::make_unique<TBitmap32>();
  PreviewSurface->SetSize(kPreviewWidth, kPreviewHeight);
  Project = std::make_unique<TProject>(MakeAnimObjectsFactory(GetSharedImagesFolder(system_)));
  Resources = ExtractResources(system_.ProgramFile(), system_.TempFolder(), system_.ProgramFile(), *Project);
  extracted_ = true;
  Engine = std::make_unique<TAnimEngine>();
  Engine->Fonts = fonts_;

  SettingsFile = SettingsFileName(system_.ProgramFile());
  const SaverSettings s = ReadDialogSettings(SettingsFile);
  host_.SetChecked("cbStretch", s.Stretch);
  host_.SetChecked("cbProportional", s.Proportional);
  host_.SetChecked("cbSound", s.Sound);
  host_.SetChecked("cbMusic", s.Music);
  host_.SetChecked("cbShowClock", s.ShowClock);
  host_.SetPosition("cbClockPos", s.ClockPos);
  host_.SetEnabled("cbProportional", s.Stretch);

  host_.SetText("lblTitle", AnsiToUtf16(Project->Title));
  host_.SetText("lblDesc", AnsiToUtf16(Project->Description));

  if (!Project->Background.Empty()) {
    PreviewSurface->DrawStretched(TRect{0, 0, kPreviewWidth, kPreviewHeight},
                                  TRect{0, 0, Project->Background.Width(), Project->Background.Height()},
                                  Project->Background);
    host_.ShowPreview(PreviewSurface->View());
  }

  host_.SetPosition("tbSpeed", SliderPositionOf(s.Speed));
  Project->SetSpeedPercent(SpeedAt(host_.Position("tbSpeed")));
}

void TfmCOnfig::Click(std::string_view control) {
  if (control == "CheckBox1") CheckBox1Click();
  else if (control == "cbStretch" || control == "cbProportional") cbStretchClick();
  else if (control == "OK") MyButton21Click();
  else if (control == "Cancel" || control == "Button1") btnCancelClick();
  else if (control == "Reset" || control == "SpeedButton1") SpeedButton6Click();
  // Sound, Music, Show Clock and the clock corner are only stored by OK.
}

void TfmCOnfig::Change(std::string_view control) {
  if (control == "tbSpeed") tbSpeedChange();
}

void TfmCOnfig::SetPreviewRunning(bool on) {
  if (!on) {
    host_.SetTimer(false, 1);
    return;
  }
  if (!Engine || !Project) return;
  try {
    Engine->SetProject(*Project);
    Engine->Prepare();
    Engine->SetWeather(Project->Weather.Kind > 0);
  } catch (...) {
    // A project the engine cannot prepare has nothing to preview.
    host_.SetTimer(false, 1);
    return;
  }
  host_.SetTimer(false, 1);
  host_.SetTimer(true, 1);
}

void TfmCOnfig::tmrAnimTimer() {
  if (!Engine || !PreviewSurface) return;
  try {
    Engine->Step();
    const TBitmap32& output = Engine->OutputSurface();
    PreviewSurface->DrawStretched(TRect{0, 0, PreviewSurface->Width(), PreviewSurface->Height()},
                                  TRect{0, 0, output.Width(), output.Height()}, output);
    host_.ShowPreview(PreviewSurface->View());
    const int64_t delay = int64_t{kFrameInterval} - int64_t{TicksBetween(LastPreviewTick, TickCount())};
    if (delay > 0) SleepMs(static_cast<uint32_t>(delay));
    LastPreviewTick = TickCount();
  } catch (...) {
    // The dialog must outlive a bad frame; the next tick tries again.
  }
}

void TfmCOnfig::UntickAutoPreview() {
  if (!host_.Checked("CheckBox1")) return;
  host_.SetChecked("CheckBox1", false);
  CheckBox1Click();
}

void TfmCOnfig::CheckBox1Click() { SetPreviewRunning(host_.Checked("CheckBox1")); }

void TfmCOnfig::tbSpeedChange() {
  UntickAutoPreview();
  SetPreviewRunning(false);
  if (Project) Project->SetSpeedPercent(SpeedAt(host_.Position("tbSpeed")));
}

void TfmCOnfig::SpeedButton6Click() {
  if (host_.Position("tbSpeed") == 10) return;
  host_.SetPosition("tbSpeed", 10);
  tbSpeedChange();
}

void TfmCOnfig::cbStretchClick() {
  host_.SetFocus("Panel1");
  host_.SetEnabled("cbProportional", host_.Checked("cbStretch"));
}

void TfmCOnfig::MyButton21Click() {
  UntickAutoPreview();
  SaverSettings s;
  s.Speed = SpeedAt(host_.Position("tbSpeed"));
  s.Stretch = host_.Checked("cbStretch");
  s.Proportional = host_.Checked("cbProportional");
  s.Sound = host_.Checked("cbSound");
  s.Music = host_.Checked("cbMusic");
  s.ClockPos = host_.Position("cbClockPos");
  s.ShowClock = host_.Checked("cbShowClock");
  try {
    WriteSettings(SettingsFile, s);
  } catch (const SettingsWriteError& e) {
    host_.ShowError(Utf8ToUtf16(e.what()));
    return;
  }
  host_.Close();
}

void TfmCOnfig::btnCancelClick() {
  SetPreviewRunning(false);
  UntickAutoPreview();
  host_.Close();
}

void TfmCOnfig::FormClose() {
  auto absorb = [](auto&& step) {
    try {
      step();
    } catch (...) {
    }
  };
  absorb([&] { UntickAutoPreview(); });
  absorb([&] { Engine.reset(); });
  absorb([&] { Project.reset(); });
  absorb([&] { PreviewSurface.reset(); });
  absorb([&] {
    if (extracted_) {
      extracted_ = false;
      DeleteResources(Resources);
    }
  });
}

}  // namespace lumevra
