#include "objects/AnimObjects.h"

#include <stdexcept>
#include <utility>

#include "base/Ini.h"
#include "objects/PictureObjects.h"
#include "objects/TextObject.h"

namespace lumevra {

namespace {

// The worker and, for a GIF, its frame painter follow the same mode.
void SetManualOn(TAnimObject& object, bool manual) {
  if (auto* gif = dynamic_cast<TGifObject*>(&object)) gif->SetManualPainter(manual);
  object.Worker.SetManual(manual);
}

}  // namespace

TAnimObjects::TAnimObjects(std::filesystem::path sharedImagesFolder)
    : sharedImages_(std::move(sharedImagesFolder)) {}

TAnimObjects::~TAnimObjects() { Clear(); }

TAnimObject& TAnimObjects::Add(std::unique_ptr<TAnimObject> object) {
  if (!object) throw std::invalid_argument("TAnimObjects::Add: no object");
  items_.push_back(std::move(object));
  TAnimObject& added = *items_.back();
  added.Index = static_cast<int32_t>(items_.size() - 1);
  SetManualOn(added, manual_);
  return added;
}

void TAnimObjects::Clear() {
  for (auto& item : items_) item->Shutdown();
  for (auto& item : items_) item.reset();
  items_.clear();
}

TAnimObject& TAnimObjects::Items(size_t index) { return *items_.at(index); }

const TAnimObject& TAnimObjects::Items(size_t index) const { return *items_.at(index); }

void TAnimObjects::LoadObjects(const std::string& text) {
  Clear();
  const Ini sections(text);
  for (int32_t i = 0; i <= kLastObjectSection; ++i) {
    const std::string type = sections.ReadString(ObjectSection(i), "ObjType");
    std::unique_ptr<TAnimObject> object;
    if (type == "GIF")
      object = std::make_unique<TGifObject>(sharedImages_);
    else if (type == "IMG")
      object = std::make_unique<TImgObject>(sharedImages_);
    else if (type == "TXT")
      object = std::make_unique<TTextObject>();
    else
      continue;
    Add(std::move(object)).LoadObjectFromText(text);
  }
}

void TAnimObjects::RepointPictures(
    const std::function<std::string(size_t index, const std::string& fileName)>& rename) {
  for (size_t i = 0; i < items_.size(); ++i)
    if (auto* picture = dynamic_cast<TAnimImgObject*>(items_[i].get()))
      picture->FileName = rename(i, picture->FileName);
}

void TAnimObjects::SetManualStepping(bool manual) {
  manual_ = manual;
  for (auto& item : items_) SetManualOn(*item, manual);
}

void TAnimObjects::StepAll() {
  if (!manual_) return;
  for (auto& item : items_) {
    item->Worker.StepNow();
    if (auto* gif = dynamic_cast<TGifObject*>(item.get()); gif && gif->Running) gif->AdvancePainter();
  }
}

void TAnimObjects::StepFor(ManualClock& clock, uint32_t ms) {
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

TProjectObjectsFactory MakeAnimObjectsFactory(std::filesystem::path sharedImagesFolder) {
  return [folder = std::move(sharedImagesFolder)]() -> std::unique_ptr<TProjectObjects> {
    return std::make_unique<TAnimObjects>(folder);
  };
}

}  // namespace lumevra
