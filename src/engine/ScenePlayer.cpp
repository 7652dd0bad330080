#include "engine/ScenePlayer.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "base/AnsiText.h"
#include "engine/FitBackground.h"
#include "objects/ObjectList.h"

namespace lumevra {

namespace fs = std::filesystem;

FrameOffset PresentOffset(bool stretch, bool proportional, PixelSize screen, PixelSize picture) {
  if (stretch && !proportional) return {};
  return {(screen.cx - picture.cx) / 2, (screen.cy - picture.cy) / 2};
}

PixelRect PlaceFrameOn(bool stretch, bool proportional, PixelSize screen, PixelSize frame) {
  if (frame.cx <= 0 || frame.cy <= 0 || screen.cx <= 0 || screen.cy <= 0) return {};
  if (!stretch) {
    const FrameOffset at = PresentOffset(false, false, screen, frame);
    return {at.x, at.y, frame.cx, frame.cy};
  }
  if (!proportional) return {0, 0, screen.cx, screen.cy};
  const PixelSize fitted = FittedSize(true, frame, screen);  // the background's fitting rule
  const FrameOffset at = PresentOffset(true, true, screen, fitted);
  return {at.x, at.y, fitted.cx, fitted.cy};
}

ScenePlayer::ScenePlayer(FontRaster* fonts, fs::path sharedImagesFolder)
    : fonts_(fonts), sharedImages_(std::move(sharedImagesFolder)) {
  // The project makes a new list at every (re)allocation; keep the typed one.
  project_ = std::make_unique<Project>([this]() -> std::unique_ptr<ProjectObjects> {
    auto list = std::make_unique<ObjectList>(sharedImages_);
    objects_ = list.get();
    return list;
  });
  engine_ = std::make_unique<Engine>();
  engine_->Fonts = fonts_;
}

ScenePlayer::~ScenePlayer() {
  Release();
  try {
    RemoveExtractedFiles();
  } catch (...) {
  }
}

void ScenePlayer::Extract(const fs::path& packageFile, const fs::path& folder) {
  // Known before extracting, so that a failed extraction still removes the
  // folder when it left nothing in it.
  resources_.TempDir = folder;
  extracted_ = true;
  resources_ = ExtractResources(packageFile, folder, *project_);
}

void ScenePlayer::Prepare(const SceneOptions& options) {
  if (!project_) throw std::logic_error("ScenePlayer::Prepare after Release");
  options_ = options;
  Project& project = *project_;
  if (options.stretch) {
    const int32_t w = options.screen.cx > 0 ? options.screen.cx : project.Width;
    const int32_t h = options.screen.cy > 0 ? options.screen.cy : project.Height;
    FitBackground(options.proportional, project, w, h);
  }
  project.SetSpeedPercent(options.speedPercent);
  prepared_ = false;
  engine_->SetProject(project, objects_);
  engine_->ClockOn = options.showClock;
  engine_->Clock.Corner = options.clockCorner;
  engine_->Prepare();
  engine_->SetWeather(project.Weather.SwitchedOn());
  prepared_ = true;
}

void ScenePlayer::Step() {
  if (!engine_) throw std::logic_error("ScenePlayer::Step after Release");
  engine_->Step();
}

FrameOffset ScenePlayer::PlaceOn(PixelSize screen) const {
  const Bitmap32* picture = engine_ ? engine_->Background : nullptr;
  const PixelSize size = picture ? PixelSize{picture->Width(), picture->Height()} : PixelSize{};
  return PresentOffset(options_.stretch, options_.proportional, screen, size);
}

PixelRect ScenePlayer::PlaceOnOther(PixelSize screen) const {
  const Bitmap32* picture = engine_ ? engine_->Background : nullptr;
  const PixelSize size = picture ? PixelSize{picture->Width(), picture->Height()} : PixelSize{};
  return PlaceFrameOn(options_.stretch, options_.proportional, screen, size);
}

void ScenePlayer::Release() {
  prepared_ = false;
  engine_.reset();
  objects_ = nullptr;
  project_.reset();
}

void ScenePlayer::RemoveProjectAndSoundFiles() {
  if (!extracted_) return;
  const auto& created = resources_.Created;
  auto ours = [&](const fs::path& f) { return !f.empty() && std::find(created.begin(), created.end(), f) != created.end(); };
  std::error_code ec;
  if (project_)
    for (int32_t i = 0; i < project_->SoundCount() && i < kSoundSlots; ++i) {
      const fs::path f = AnsiToPath(project_->SoundSlots[static_cast<size_t>(i)].SoundFile);
      if (ours(f)) fs::remove(f, ec);
    }
  if (ours(resources_.ProjectFile)) fs::remove(resources_.ProjectFile, ec);
}

void ScenePlayer::RemoveExtractedFiles() {
  if (!extracted_) return;
  extracted_ = false;
  DeleteResources(resources_);
}

}  // namespace lumevra
