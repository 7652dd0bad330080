// What the project needs of its object list. The list itself (the animated
// objects) sits above the package layer; the project owns it through this
// interface and gets it from a factory its creator hands over.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace lumevra {

class ProjectObjects {
public:
  virtual ~ProjectObjects() = default;
  // Builds the list from the objects INI text; throws on failure.
  virtual void LoadObjects(const std::string& text) = 0;
  virtual void Clear() = 0;
  virtual size_t Count() const = 0;
  // For each picture-backed object (GIF and image objects), in list order:
  // FileName := rename(index, FileName). Text objects are left alone.
  virtual void RepointPictures(
      const std::function<std::string(size_t index, const std::string& fileName)>& rename) = 0;
};

using ProjectObjectsFactory = std::function<std::unique_ptr<ProjectObjects>()>;

}  // namespace lumevra
