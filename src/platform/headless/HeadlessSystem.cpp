#include "platform/headless/HeadlessSystem.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "base/FileAccess.h"
#include "package/PackageExtractor.h"

namespace lumevra {

namespace {

std::mutex g_namesMutex;
std::multiset<std::string> g_heldNames;

class LocalGuard final : public InstanceGuard {
public:
  explicit LocalGuard(std::string name) : name_(std::move(name)) {
    std::lock_guard lock(g_namesMutex);
    exists_ = g_heldNames.count(name_) > 0;
    g_heldNames.insert(name_);
  }
  ~LocalGuard() override {
    std::lock_guard lock(g_namesMutex);
    g_heldNames.erase(g_heldNames.find(name_));
  }
  bool AlreadyExists() const override { return exists_; }

private:
  std::string name_;
  bool exists_ = false;
};

class RecordingChanger final : public PasswordChanger {
public:
  explicit RecordingChanger(std::vector<intptr_t>& calls) : calls_(calls) {}
  void ChangePassword(intptr_t owner) override { calls_.push_back(owner); }

private:
  std::vector<intptr_t>& calls_;
};

}  // namespace

std::filesystem::path HeadlessSystem::CreateExtractionFolder() {
  return CreateFreshFolder(tempFolder / programFile.filename());
}

bool HeadlessSystem::CanReplaceFile(const std::filesystem::path& file) const {
  const std::filesystem::path folder = file.parent_path();
  if (std::find(readOnlyFolders.begin(), readOnlyFolders.end(), folder) != readOnlyFolders.end()) return false;
  return lumevra::CanReplaceFile(file);
}

std::unique_ptr<InstanceGuard> HeadlessSystem::CreateInstanceGuard(const std::string& name) {
  if (!guardAvailable) return nullptr;
  return std::make_unique<LocalGuard>(name);
}

std::unique_ptr<PasswordChanger> HeadlessSystem::LoadPasswordChanger() {
  if (!passwordServices) return nullptr;
  return std::make_unique<RecordingChanger>(passwordChangeCalls);
}

}  // namespace lumevra
