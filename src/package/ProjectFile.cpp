#include "package/ProjectFile.h"

#include <algorithm>
#include <cstring>

#include "graphics/Bitmap32.h"

namespace lumevra {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void ReadError() { throw IoError("Read beyond end of file"); }

}  // namespace

ByteReader::ByteReader(const fs::path& file, int mode) {
  if (mode != 1) return;  // only reading is used here
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) throw IoError("File not found: " + file.string());
  in_.open(file, std::ios::binary);
  if (!in_) throw IoError("Cannot open " + file.string());
  size_ = static_cast<int64_t>(fs::file_size(file, ec));
  if (ec) throw IoError("Cannot open " + file.string());
}

int64_t ByteReader::BytesLeft() {
  if (!in_.is_open()) return 0;
  return size_ - position_;
}

void ByteReader::ReadBlock(void* buffer, int64_t n) {
  if (n < 0 || n > BytesLeft()) ReadError();
  if (n == 0) return;
  in_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(n));
  if (in_.gcount() != n) ReadError();
  position_ += n;
}

int32_t ByteReader::ReadInt() {
  if (BytesLeft() < 4) {
    // The end of the file reads as 0, whatever bytes are left.
    in_.seekg(0, std::ios::end);
    position_ = size_;
    return 0;
  }
  uint8_t b[4];
  ReadBlock(b, 4);
  return static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

std::string ByteReader::ReadMagic(int n) { return ReadToStream(n); }

std::string ByteReader::ReadToStream(int32_t n) {
  // Checked before allocating: a count can only describe bytes the file has.
  if (n < 0 || n > BytesLeft()) ReadError();
  std::string s(static_cast<size_t>(n), '\0');
  ReadBlock(s.data(), n);
  return s;
}

std::string ByteReader::ReadCountedString() { return ReadToStream(ReadInt()); }

ProjectFileReader::ProjectFileReader() {
  for (WaveParams& w : WaveLayers) w = WaveParams{};
}

void ProjectFileReader::ReadProjectFile(const fs::path& file) {
  for (WaveParams& w : WaveLayers) w.SetLoaderDefaults();
  ByteReader s(file, 1);
  if (s.ReadMagic(static_cast<int>(kProjectMagic.size())) != kProjectMagic)
    throw ProjectError("Incorrect Project File!");
  Title = s.ReadCountedString();
  Description = s.ReadCountedString();
  Thumbnail = DecodeJpeg(s.ReadToStream(s.ReadInt()));

  s.ReadInt();  // the first group's count is always four records
  uint8_t record[SoundSlot::kRecordSize];
  for (int i = 0; i < 4; ++i) {
    s.ReadBlock(record, WaveParams::kRecordSize);
    WaveLayers[i].FromRecord(record);
  }

  const int32_t m = s.ReadInt();
  if (m < 0 || int64_t{m} * 4 > s.BytesLeft()) ReadError();
  MaskCodes.assign(static_cast<size_t>(m), 0);
  for (int32_t& code : MaskCodes) {
    uint8_t b[4];
    s.ReadBlock(b, 4);
    code = static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24));
  }

  Background = DecodeJpeg(s.ReadToStream(s.ReadInt()));
  LegacySound = s.ReadCountedString();
  s.ReadBlock(record, WeatherParams::kRecordSize);
  Weather.FromRecord(record);

  // Everything after the weather block is optional: a failure keeps what
  // was read so far.
  try {
    if (!s.AtEnd()) {
      for (SoundSlot& slot : SoundSlots) {
        s.ReadBlock(record, SoundSlot::kRecordSize);
        slot.FromRecord(record);
      }
    }
    ObjectsText = s.ReadCountedString();
    BuildInfoText = s.ReadCountedString();
    const int32_t k = s.ReadInt();
    // Only layers 4..7 exist; further records are not read.
    for (int32_t i = 0; i < k && i < 4; ++i) {
      s.ReadBlock(record, WaveParams::kRecordSize);
      WaveLayers[4 + i].FromRecord(record);
    }
  } catch (const std::exception&) {
  }
}

void ProjectFileReader::GetBackground(Bitmap32& bitmap) const { bitmap.Assign(Background); }

void ProjectFileReader::GetThumbnail(Bitmap32& bitmap) const { bitmap.Assign(Thumbnail); }

void ProjectFileReader::GetMask(Bitmap32& bitmap, PixelSize background) const {
  DecodeMask(MaskCodes, bitmap, background);
}

void DecodeMask(const IntList& codes, Bitmap32& bitmap, std::optional<PixelSize> expected) {
  if (codes.size() < 2) {  // no size at all: an empty mask
    bitmap.SetSize(0, 0);
    return;
  }
  const int32_t w = codes[0], h = codes[1];
  if (expected && (w != expected->cx || h != expected->cy))
    throw ProjectError("The mask's size " + std::to_string(w) + " x " + std::to_string(h) +
                       " differs from the picture's " + std::to_string(expected->cx) + " x " +
                       std::to_string(expected->cy));
  if (w > kBackgroundPictureLimits.maxSide || h > kBackgroundPictureLimits.maxSide ||
      int64_t{std::max(w, 0)} * std::max(h, 0) > kBackgroundPictureLimits.maxPixels)
    throw ProjectError("Mask too large");
  bitmap.SetSize(w, h);
  int64_t x = 0, y = 0;
  for (size_t i = 2; i < codes.size(); ++i) {
    const int32_t c = codes[i];
    if (c < 0 || c % 10 > 6) throw ProjectError("Invalid mask code");
    const uint32_t color = MaskColor(c % 10);
    int64_t run = c / 10;
    while (run > 0) {
      if (x >= w) {
        x = 0;
        ++y;
      }
      if (y >= h || w <= 0) throw ProjectError("Mask runs outside the picture");
      // Fill what is left of this row in one go.
      const int64_t n = std::min<int64_t>(run, w - x);
      Color32* row = bitmap.ScanLine(static_cast<int32_t>(y));
      std::fill(row + x, row + x + n, color);
      x += n;
      run -= n;
    }
  }
}

}  // namespace lumevra
