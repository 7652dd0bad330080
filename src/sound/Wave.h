// Sound-effect files: RIFF WAVE read into a format record (verbatim from the
// "fmt " chunk) and the bytes of the "data" chunk, ready for a sound buffer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace lumevra {

// "Wave is invalid", "Stream has already been opened", "Stream not opend",
// or a read error ("Stream read error") for bytes the file does not hold.
class WaveError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The data chunk of a wave file as a stream of its own. The underlying
// stream is not owned and must outlive this one.
class WaveReader {
public:
  // Remembers the stream's current position: where the RIFF header starts.
  explicit WaveReader(std::istream& stream);
  WaveReader(const WaveReader&) = delete;
  WaveReader& operator=(const WaveReader&) = delete;

  // Walks the chunks; the last "fmt " and the last "data" chunk count.
  void Open();
  bool IsOpen() const { return open_; }
  // The data chunk's size in reading mode (0 without a "data" chunk).
  int64_t Size() const { return dataSize_; }
  // Bytes of the data chunk the file really holds (at most Size).
  int64_t Available() const;
  // Reads up to n bytes at the current position of the data chunk; returns
  // the count read. "Stream not opend" before Open.
  size_t Read(void* buffer, size_t n);
  int64_t Position() const { return position_; }
  void SetPosition(int64_t position) { position_ = position < 0 ? 0 : position; }
  const std::vector<uint8_t>& Format() const { return format_; }
  int64_t DataOffset() const { return dataOffset_; }

private:
  std::istream& stream_;
  std::streamoff start_ = 0;
  std::streamoff end_ = 0;  // the underlying stream's end, taken at Open
  bool open_ = false;
  bool reading_ = false;
  std::vector<uint8_t> format_;
  int64_t dataOffset_ = 0;
  int64_t dataSize_ = 0;
  int64_t position_ = 0;
};

class Wave {
public:
  // Empties the wave, then reads format and data from the stream's current
  // position. Errors leave it empty.
  void LoadFromStream(std::istream& stream);
  // "Cannot open file <name>" when the file cannot be opened.
  void LoadFromFile(const std::filesystem::path& file);
  void Clear();

  const std::vector<uint8_t>& Format() const { return format_; }
  int32_t FormatSize() const { return static_cast<int32_t>(format_.size()); }
  // nullptr while the wave holds no bytes.
  const uint8_t* Data() const { return data_.get(); }
  int32_t Size() const { return size_; }
  // Bytes reserved for Data: whole blocks of kDataBlock.
  size_t Capacity() const { return capacity_; }

  // Resizes Data, keeping the bytes both sizes share. The memory grows and
  // shrinks in whole blocks and is reallocated only when the block count
  // changes. A negative size raises an error.
  void SetSize(int32_t size);

  static constexpr size_t kDataBlock = 8096;

private:
  std::vector<uint8_t> format_;
  std::unique_ptr<uint8_t[]> data_;
  size_t capacity_ = 0;
  int32_t size_ = 0;
};

}  // namespace lumevra
