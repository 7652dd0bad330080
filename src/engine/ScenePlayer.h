// ScenePlayer: one running scene, end to end, for every place that shows
// one (the saver window, the dialog's preview, scrtool render, benchmarks,
// test rigs). It owns the project, its typed object list and the engine;
// when it extracted a package it owns the files of that extraction too and
// removes them when it goes. The start-up order of a scene (extract, load,
// fit, set the speed, prepare) and the rule for where a frame goes on a
// screen live here once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "engine/Engine.h"
#include "graphics/Bitmap32.h"
#include "graphics/PixelView.h"
#include "package/PackageExtractor.h"
#include "package/Project.h"

namespace lumevra {

class FontRaster;
class ObjectList;

// How the scene is shown.
struct SceneOptions {
  int32_t speedPercent = 100;
  // Fit the background (and mask) to `screen`; keeping its proportions when
  // `proportional` is set.
  bool stretch = false;
  bool proportional = false;
  bool showClock = false;
  uint8_t clockCorner = static_cast<uint8_t>(ClockCorner::TopRight);  // a ClockCorner as stored
  // The area the scene is fitted to; 0 x 0: the picture's own size.
  PixelSize screen{};
};

// Where a frame's top-left corner goes on a screen.
struct FrameOffset {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const FrameOffset&) const = default;
};

// The frame is centred unless it was stretched to the whole screen (stretched
// without keeping the proportions); a picture larger than the screen gets
// negative offsets and is cut equally on both sides.
FrameOffset PresentOffset(bool stretch, bool proportional, PixelSize screen, PixelSize picture);

// Where a frame made for one screen goes on another of size `screen`, by
// the same rules at that size: stretched over it, fitted keeping the
// frame's proportions and centred, or (not stretching) centred at the
// frame's own size.
PixelRect PlaceFrameOn(bool stretch, bool proportional, PixelSize screen, PixelSize frame);

class ScenePlayer {
public:
  // Text objects draw through `fonts` (none: they are skipped). Picture
  // objects whose file is missing look in `sharedImagesFolder` as well.
  explicit ScenePlayer(FontRaster* fonts = nullptr, std::filesystem::path sharedImagesFolder = {});
  // Ends the object threads, then removes what the extraction created;
  // a failure to remove is ignored here (RemoveExtractedFiles reports it).
  ~ScenePlayer();
  ScenePlayer(const ScenePlayer&) = delete;
  ScenePlayer& operator=(const ScenePlayer&) = delete;

  // Extracts the package carried by `packageFile` into `folder` (made for
  // this run, see System::CreateExtractionFolder; removed with the extracted
  // files) and loads its project. Errors of the extraction propagate; a
  // project that does not load leaves an empty picture (see
  // Project::LoadError).
  void Extract(const std::filesystem::path& packageFile, const std::filesystem::path& folder);
  // The extraction's folder, files and header values (empty before Extract).
  const ResourceSet& Resources() const { return resources_; }

  // The scene's model. Tools and rigs may fill it in place of Extract.
  Project& GetProject() { return *project_; }
  const Project& GetProject() const { return *project_; }
  // The scene's objects (null once released).
  ObjectList* Objects() { return objects_; }

  // Fits the background to the options' screen when stretching, sets the
  // speed, binds and prepares the engine with the clock and the weather.
  // May be called again (the dialog's preview does on every start).
  void Prepare(const SceneOptions& options);
  bool Prepared() const { return prepared_; }
  // False once Release has run.
  bool Loaded() const { return project_ != nullptr; }
  // One frame of water, objects, weather and clock.
  void Step();
  // The frame to show after Step; right after Prepare, the undisturbed picture.
  const Bitmap32& Frame() { return engine_->OutputSurface(); }
  // The prepared picture without any frame drawn over it.
  const Bitmap32& StillPicture() const { return engine_->WaveSurface; }
  // Where Frame goes on a screen of this size, by the options' fitting.
  FrameOffset PlaceOn(PixelSize screen) const;
  // Where the current frame goes on another screen (a second monitor).
  PixelRect PlaceOnOther(PixelSize screen) const;
  Engine& GetEngine() { return *engine_; }

  // Ends the object threads and frees the engine and the project; the
  // extracted files stay until RemoveExtractedFiles.
  void Release();
  // Removes the project file and the slots' sound files, where this
  // extraction created them (a slot never re-pointed names an author's
  // file, which is not ours to delete). Needs the project (before Release).
  void RemoveProjectAndSoundFiles();
  // Removes the files the extraction created and its folder; throws
  // IoError when the folder cannot be removed. Once only.
  void RemoveExtractedFiles();

private:
  FontRaster* fonts_;
  std::filesystem::path sharedImages_;
  ObjectList* objects_ = nullptr;  // owned by the project
  std::unique_ptr<Project> project_;
  std::unique_ptr<Engine> engine_;
  ResourceSet resources_;
  bool extracted_ = false;
  bool prepared_ = false;
  SceneOptions options_;
};

}  // namespace lumevra
