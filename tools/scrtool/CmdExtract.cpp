// scrtool extract FILE DIR: the saver's own extraction, into DIR.
#include <filesystem>
#include <ostream>

#include "Commands.h"
#include "package/PackageExtractor.h"

namespace lumevra {

int CmdExtract(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "extract: expected FILE DIR\n";
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path file = args[0];
  const fs::path dir = args[1];
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) {
    err << "extract: cannot open " << file.string() << "\n";
    return 1;
  }
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec)) {
    err << "extract: cannot create " << dir.string() << "\n";
    return 1;
  }
  const ResourceSet set = ExtractResourcesInto(file, dir);
  for (const fs::path& f : set.Created) out << f.string() << "\n";
  return 0;
}

}  // namespace lumevra
