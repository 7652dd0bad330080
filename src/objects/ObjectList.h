// ObjectList: the project's list of animated objects, built from the
// objects INI text. It owns its objects; the object at position i has
// Index i and reads its keys from section "Obj" + i.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "objects/AnimObject.h"
#include "package/ProjectObjects.h"

namespace lumevra {

// The list reads sections Obj0 .. Obj100 and no further.
inline constexpr int32_t kLastObjectSection = 100;

class ObjectList final : public ProjectObjects {
public:
  // The shared images folder is handed to every picture object the list
  // creates (empty: no second place to look for a missing picture).
  explicit ObjectList(std::filesystem::path sharedImagesFolder = {});
  ~ObjectList() override;
  ObjectList(const ObjectList&) = delete;
  ObjectList& operator=(const ObjectList&) = delete;

  // Appends the object and sets its Index to its position. Throws
  // std::invalid_argument for a null object.
  AnimObject& Add(std::unique_ptr<AnimObject> object);
  // Ends every object's worker (and GIF painter), then frees every object,
  // first to last: no step runs while any surface is released.
  void Clear() override;
  size_t Count() const override { return items_.size(); }
  // Throws std::out_of_range past the end.
  AnimObject& Items(size_t index);
  const AnimObject& Items(size_t index) const;

  // Rebuilds the list: for each section Obj0 .. Obj100 whose "ObjType" is
  // exactly "GIF", "IMG" or "TXT" (letter case counts) one object, which
  // then reads the section of its own list position. A section that gives
  // no object does not advance the positions, so sections must be numbered
  // without gaps.
  void LoadObjects(const std::string& text) override;
  // For each GIF and image object in list order: FileName := rename(i, FileName).
  void RepointPictures(
      const std::function<std::string(size_t index, const std::string& fileName)>& rename) override;

  const std::filesystem::path& SharedImagesFolder() const { return sharedImages_; }

  // Caller-driven stepping for tools and tests: the objects (present and
  // added later) take no steps of their own, only those StepAll gives, so
  // a scene on a manual clock renders the same frames every run.
  void SetManualStepping(bool manual);
  bool ManualStepping() const { return manual_; }
  // One step of every started object in list order, as its worker would
  // take it (GIF frames included). Does nothing unless manual.
  void StepAll();
  // Moves the clock on by `ms` in the workers' 5 ms steps, a StepAll after
  // each; a remainder under one step is carried into the next call, so
  // frames of any length keep the objects' pace. Unless manual, only the
  // clock moves.
  void StepFor(ManualClock& clock, uint32_t ms);
  // Pauses or resumes every running object's worker (the display sleeps).
  void PauseWorkers(bool paused);

private:
  std::filesystem::path sharedImages_;
  std::vector<std::unique_ptr<AnimObject>> items_;
  bool manual_ = false;
  uint32_t carryMs_ = 0;  // time StepFor moved the clock that no step took yet
};

// Makes object lists for projects, all with the same shared images folder.
ProjectObjectsFactory MakeAnimObjectsFactory(std::filesystem::path sharedImagesFolder);

}  // namespace lumevra
