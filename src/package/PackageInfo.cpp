#include "package/PackageInfo.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "package/PackageExtractor.h"

namespace lumevra {

namespace fs = std::filesystem;

std::optional<PackageInfo> ReadPackageInfo(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + file.string());
  const auto location = FindPackage(file);
  if (!location) return std::nullopt;

  PackageInfo info;
  info.offset = location->offset;
  info.count = location->count;
  std::error_code ec;
  const auto fileSize = static_cast<int64_t>(fs::file_size(file, ec));
  int64_t pos = info.offset + 4;
  for (int64_t k = 0; k < info.count && pos + 4 <= fileSize; ++k) {
    unsigned char b[4];
    in.seekg(pos);
    in.read(reinterpret_cast<char*>(b), 4);
    if (in.gcount() != 4) break;
    const auto size = static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                                           (static_cast<uint32_t>(b[3]) << 24));
    info.entrySizes.push_back(size);
    pos += 4;
    if (k == 0 && size > 0) {
      info.headerText.resize(static_cast<size_t>(std::min<int64_t>(size, kMaxHeaderBytes)));
      in.read(info.headerText.data(), static_cast<std::streamsize>(info.headerText.size()));
      info.headerText.resize(static_cast<size_t>(in.gcount()));
      in.clear();
    }
    pos += std::max<int32_t>(size, 0);
  }
  return info;
}

}  // namespace lumevra
