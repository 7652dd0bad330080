#include "authoring/PackageWriter.h"

#include <cstdint>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "package/PackageExtractor.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

// Read through a volatile so the compiler cannot fold the stored marker
// into a constant of the binary.
volatile unsigned char g_markerShift = 1;

void WriteInt32(std::ostream& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
  out.write(b, 4);
}

int32_t CheckedSize(uintmax_t size, const std::string& what) {
  if (size > static_cast<uintmax_t>(std::numeric_limits<int32_t>::max()))
    throw std::runtime_error(what + " is too large for a package entry");
  return static_cast<int32_t>(size);
}

}  // namespace

void PackageWriter::AddBytes(std::string bytes) { entries_.emplace_back(std::move(bytes)); }

void PackageWriter::AddFile(const fs::path& file) { entries_.emplace_back(file); }

std::string PackageWriter::StoredMarker() {
  std::string marker(kMarkerLiteral);
  for (char& c : marker) c = static_cast<char>(static_cast<unsigned char>(c) + g_markerShift);
  return marker;
}

void PackageWriter::Write(std::ostream& out) const {
  const std::string marker = StoredMarker();
  out.write(marker.data(), static_cast<std::streamsize>(marker.size()));
  WriteInt32(out, CheckedSize(entries_.size(), "the entry list"));
  for (const auto& entry : entries_) {
    if (const auto* bytes = std::get_if<std::string>(&entry)) {
      WriteInt32(out, CheckedSize(bytes->size(), "an entry"));
      out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
      continue;
    }
    const fs::path& file = std::get<fs::path>(entry);
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in) throw std::runtime_error("cannot read " + file.string());
    WriteInt32(out, CheckedSize(size, file.string()));
    char buffer[64 * 1024];
    uintmax_t left = size;
    while (left > 0) {
      const auto want = static_cast<std::streamsize>(std::min<uintmax_t>(sizeof buffer, left));
      in.read(buffer, want);
      if (in.gcount() != want) throw std::runtime_error("cannot read " + file.string());
      out.write(buffer, want);
      left -= static_cast<uintmax_t>(want);
    }
  }
  if (!out) throw std::runtime_error("cannot write the package");
}

void PackageWriter::WriteFile(const fs::path& target, const fs::path& base) const {
  std::error_code ec;
  if (!base.empty() && !fs::equivalent(base, target, ec)) {
    // MinGW's copy_file refuses to overwrite: replace an existing file by hand.
    if (!fs::copy_file(base, target, fs::copy_options::overwrite_existing, ec) &&
        !(fs::remove(target, ec) && fs::copy_file(base, target, ec)))
      throw std::runtime_error("cannot copy " + base.string() + " to " + target.string());
  }
  std::ofstream out(target, std::ios::binary | (base.empty() ? std::ios::trunc : std::ios::app));
  if (!out) throw std::runtime_error("cannot write " + target.string());
  Write(out);
  out.close();
  if (!out) throw std::runtime_error("cannot write " + target.string());
}

}  // namespace lumevra
