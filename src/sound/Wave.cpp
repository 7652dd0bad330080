#include "sound/Wave.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

namespace lumevra {

namespace {

constexpr uint32_t FourCc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

constexpr uint32_t kFmtId = FourCc('f', 'm', 't', ' ');
constexpr uint32_t kDataId = FourCc('d', 'a', 't', 'a');

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

[[noreturn]] void ReadError() { throw WaveError("Stream read error"); }

// Reads up to n bytes at an absolute position, never past `end`; a position
// at or beyond the end reads nothing. The stream is left usable either way.
size_t ReadAt(std::istream& stream, std::streamoff end, int64_t position, void* buffer, size_t n) {
  if (position < 0 || position >= end || n == 0) return 0;
  n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(n), end - position));
  stream.clear();
  stream.seekg(position);
  if (!stream) {
    stream.clear();
    return 0;
  }
  stream.read(static_cast<char*>(buffer), static_cast<std::streamsize>(n));
  const size_t got = static_cast<size_t>(stream.gcount());
  stream.clear();
  return got;
}

// Whether a chunk header could start at `position`: an id of printable
// characters, not starting with a space, whose chunk ends within the file.
// A header read one byte off (the tail of an id and the low byte of a size)
// rarely passes both.
bool PlausibleChunkAt(std::istream& stream, std::streamoff end, int64_t position) {
  uint8_t header[8] = {};
  if (ReadAt(stream, end, position, header, sizeof header) < sizeof header) return false;
  if (header[0] == ' ') return false;
  for (int i = 0; i < 4; ++i)
    if (header[i] < 0x20 || header[i] > 0x7E) return false;
  return position + 8 + int64_t{Le32(header + 4)} <= end;
}

}  // namespace

WaveReader::WaveReader(std::istream& stream) : stream_(stream), start_(stream.tellg()) {}

void WaveReader::Open() {
  if (open_) throw WaveError("Stream has already been opened");
  open_ = true;
  reading_ = true;
  format_.clear();
  dataOffset_ = 0;
  dataSize_ = 0;
  position_ = 0;

  // Every size in the file is measured against the bytes the stream really
  // holds, so a lying header can neither read past the end nor make us
  // allocate more than the file.
  stream_.clear();
  stream_.seekg(0, std::ios::end);
  end_ = stream_.tellg();
  stream_.clear();
  if (start_ < 0 || end_ < 0) ReadError();

  uint8_t riff[12] = {};
  if (ReadAt(stream_, end_, start_, riff, sizeof riff) < sizeof riff || Le32(riff) != FourCc('R', 'I', 'F', 'F') ||
      Le32(riff + 8) != FourCc('W', 'A', 'V', 'E'))
    throw WaveError("Wave is invalid");
  // The RIFF size (bytes 4-7) is not trusted: many writers get it wrong.

  int64_t pos = start_ + static_cast<int64_t>(sizeof riff);
  for (;;) {
    // A header cut short by the end of the file reads as zeros from there.
    uint8_t header[8] = {};
    ReadAt(stream_, end_, pos, header, sizeof header);
    pos += static_cast<int64_t>(sizeof header);
    const uint32_t id = Le32(header);
    const int64_t size = Le32(header + 4);
    if (id == 0) break;
    if (id == kFmtId) {
      const int64_t left = std::max<int64_t>(0, end_ - pos);
      if (size > left) ReadError();
      std::vector<uint8_t> format(static_cast<size_t>(size));
      if (ReadAt(stream_, end_, pos, format.data(), format.size()) != format.size()) ReadError();
      format_ = std::move(format);
    } else if (id == kDataId) {
      dataSize_ = size;
      dataOffset_ = pos;
    }
    // An odd-sized chunk is followed by a pad byte; files written without
    // it are still read when the next chunk is plausible only unpadded.
    pos += size;
    if (size % 2 != 0) {
      const bool unpadded = !PlausibleChunkAt(stream_, end_, pos + 1) && PlausibleChunkAt(stream_, end_, pos);
      if (!unpadded) pos += 1;
    }
    if (pos >= end_) break;
  }
}

int64_t WaveReader::Available() const {
  return std::clamp<int64_t>(static_cast<int64_t>(end_) - dataOffset_, 0, dataSize_);
}

size_t WaveReader::Read(void* buffer, size_t n) {
  if (!open_) throw WaveError("Stream not opend");
  if (position_ >= dataSize_) return 0;
  n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(n), dataSize_ - position_));
  const size_t got = ReadAt(stream_, end_, dataOffset_ + position_, buffer, n);
  position_ += static_cast<int64_t>(got);
  return got;
}

void Wave::Clear() {
  format_ = {};
  data_.reset();
  capacity_ = 0;
  size_ = 0;
}

void Wave::SetSize(int32_t size) {
  if (size < 0) throw WaveError("Invalid wave size");
  const size_t blocks = (static_cast<size_t>(size) + kDataBlock - 1) / kDataBlock;
  const size_t capacity = blocks * kDataBlock;
  if (capacity != capacity_) {
    if (capacity == 0) {
      data_.reset();
    } else {
      auto memory = std::make_unique_for_overwrite<uint8_t[]>(capacity);
      const size_t kept = std::min(static_cast<size_t>(size_), static_cast<size_t>(size));
      if (kept > 0) std::memcpy(memory.get(), data_.get(), kept);
      data_ = std::move(memory);
    }
    capacity_ = capacity;
  }
  if (size > size_) std::memset(data_.get() + size_, 0, static_cast<size_t>(size - size_));
  size_ = size;
}

void Wave::LoadFromStream(std::istream& stream) {
  Clear();
  try {
    WaveReader wave(stream);
    wave.Open();
    format_ = wave.Format();
    const int64_t size = wave.Size();
    // Checked before allocating: a data chunk longer than the file is a
    // read error, not a request for that much memory.
    if (wave.Available() < size) ReadError();
    if (size > std::numeric_limits<int32_t>::max()) throw WaveError("Wave is too large");
    SetSize(static_cast<int32_t>(size));
    if (size > 0 && wave.Read(data_.get(), static_cast<size_t>(size)) != static_cast<size_t>(size)) ReadError();
  } catch (...) {
    Clear();
    throw;
  }
}

void Wave::LoadFromFile(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    Clear();
    throw WaveError("Cannot open file " + file.string());
  }
  LoadFromStream(stream);
}

}  // namespace lumevra
