#include "objects/AnimObjects.h"

#include <stdexcept>
#include <utility>

#include "base/Ini.h"
#include "objects/PictureObjects.h"
#include "objects/TextObject.h"

namespace lumevra {

TAnimObjects::TAnimObjects(std::filesystem::path sharedImagesFolder)
    : sharedImages_(std::move(sharedImagesFolder)) {}

TAnimObjects::~TAnimObjects() { Clear(); }

TAnimObject& TAnimObjects::Add(std::unique_ptr<TAnimObject> object) {
  if (!object) throw std::invalid_argument("TAnimObjects::Add: no object");
  items_.push_back(std::move(object));
  TAnimObject& added = *items_.back();
  added.Index = static_cast<int32_t>(items_.size() - 1);
  return added;
}

void TAnimObjects::Clear() {
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

TProjectObjectsFactory MakeAnimObjectsFactory(std::filesystem::path sharedImagesFolder) {
  return [folder = std::move(sharedImagesFolder)]() -> std::unique_ptr<TProjectObjects> {
    return std::make_unique<TAnimObjects>(folder);
  };
}

}  // namespace lumevra
