#include "objects/ObjectList.h"

#include <stdexcept>
#include <utility>

#include "base/Ini.h"
#include "objects/PictureObjects.h"
#include "objects/TextObject.h"

namespace lumevra {

ObjectList::ObjectList(std::filesystem::path sharedImagesFolder)
    : sharedImages_(std::move(sharedImagesFolder)) {}

ObjectList::~ObjectList() { Clear(); }

AnimObject& ObjectList::Add(std::unique_ptr<AnimObject> object) {
  if (!object) throw std::invalid_argument("ObjectList::Add: no object");
  items_.push_back(std::move(object));
  AnimObject& added = *items_.back();
  added.Index = static_cast<int32_t>(items_.size() - 1);
  added.SetManualStepping(manual_);
  return added;
}

void ObjectList::Clear() {
  for (auto& item : items_) item->Shutdown();
  for (auto& item : items_) item.reset();
  items_.clear();
}

AnimObject& ObjectList::Items(size_t index) { return *items_.at(index); }

const AnimObject& ObjectList::Items(size_t index) const { return *items_.at(index); }

void ObjectList::LoadObjects(const std::string& text) {
  Clear();
  const Ini sections(text);
  for (int32_t i = 0; i <= kLastObjectSection; ++i) {
    const std::string type = sections.ReadString(ObjectSection(i), "ObjType");
    std::unique_ptr<AnimObject> object;
    if (type == "GIF")
      object = std::make_unique<GifObject>(sharedImages_);
    else if (type == "IMG")
      object = std::make_unique<ImageObject>(sharedImages_);
    else if (type == "TXT")
      object = std::make_unique<TextObject>();
    else
      continue;
    // An object reads the section of its place in the list (a skipped
    // section shifts the later ones), and only that section: handing every
    // object the whole text made loading quadratic in the number of objects.
    AnimObject& added = Add(std::move(object));
    added.LoadObjectFromText(sections.SectionText(ObjectSection(added.Index)));
  }
}

void ObjectList::RepointPictures(
    const std::function<std::string(size_t index, const std::string& fileName)>& rename) {
  for (size_t i = 0; i < items_.size(); ++i)
    if (std::string* file = items_[i]->PictureFile()) *file = rename(i, *file);
}

void ObjectList::SetManualStepping(bool manual) {
  manual_ = manual;
  for (auto& item : items_) item->SetManualStepping(manual);
}

void ObjectList::PauseWorkers(bool paused) {
  for (auto& item : items_) item->PauseWorker(paused);
}

void ObjectList::StepAll() {
  if (!manual_) return;
  for (auto& item : items_) item->StepNow();
}

void ObjectList::StepFor(ManualClock& clock, uint32_t ms) {
  uint32_t left = ms;
  while (carryMs_ + left >= kObjectStepMs) {
    const uint32_t toStep = kObjectStepMs - carryMs_;
    clock.Advance(toStep);
    left -= toStep;
    carryMs_ = 0;
    StepAll();
  }
  clock.Advance(left);
  carryMs_ += left;
}

ProjectObjectsFactory MakeAnimObjectsFactory(std::filesystem::path sharedImagesFolder) {
  return [folder = std::move(sharedImagesFolder)]() -> std::unique_ptr<ProjectObjects> {
    return std::make_unique<ObjectList>(folder);
  };
}

}  // namespace lumevra
