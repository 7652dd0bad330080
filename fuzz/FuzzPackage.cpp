// A program file with whatever bytes: the package search and the extraction
// write only into their folder, and removing the extraction leaves it empty.
#include <cstdint>
#include <filesystem>

#include "FuzzSupport.h"
#include "package/PackageExtractor.h"

namespace fs = std::filesystem;
using namespace lumevra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path program = fuzz::Scratch() / "saver.scr";
  const fs::path folder = fuzz::Scratch() / "extract";
  fuzz::WriteBytes(program, fuzz::AsText(data, size));
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directory(folder);
  const ResourceSet set = ExtractResourcesInto(program, folder);
  fuzz::Require(static_cast<int64_t>(set.ResFiles.size()) <= std::max<int64_t>(EntriesInPackage(program), 0) ||
                    set.ResFiles.size() <= 2,
                "no more names than the package holds entries");
  for (const fs::path& file : set.Created)
    fuzz::Require(file.parent_path() == folder, "a created file lies outside the extraction folder");
  // Nothing but the program and the folder in the scratch area.
  for (const fs::directory_entry& entry : fs::directory_iterator(fuzz::Scratch()))
    fuzz::Require(entry.path() == program || entry.path() == folder, "a file appeared outside the extraction folder");
  DeleteResources(set);
  fuzz::Require(!fs::exists(folder), "the extraction left files behind");
  return 0;
}
