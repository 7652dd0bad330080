// Reading project files: ByteReader over the file, ProjectFileReader for the whole
// format, and DecodeMask for the run-length layer mask.
//
// Item order: magic "KA060697", Title, Description, thumbnail JPEG, a wave
// record count (ignored), wave records 0..3, mask codes, background JPEG,
// LegacySound, weather block, then (optional) 8 sound slots, ObjectsText,
// BuildInfoText, a count k and wave records 4..3+k.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "graphics/PictureLoader.h"
#include "graphics/PixelView.h"
#include "package/PackageExtractor.h"
#include "package/ProjectRecords.h"

namespace lumevra {

class Bitmap32;

inline constexpr std::string_view kProjectMagic = "KA060697";

// Raised for a project file that is not one ("Incorrect Project File!")
// and for a mask whose runs do not fit its size.
class ProjectError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A binary file read item by item. Reads past the end raise IoError,
// except ReadInt, which gives 0.
class ByteReader {
public:
  // Mode 1 opens an existing file for reading; other modes are not used by
  // the runtime. An open failure raises IoError.
  ByteReader(const std::filesystem::path& file, int mode);

  void ReadBlock(void* buffer, int64_t n);
  int32_t ReadInt();
  std::string ReadMagic(int n);
  // A block of n bytes as a string; n outside 0 .. BytesLeft() raises.
  std::string ReadToStream(int32_t n);
  // A counted string: int32 n, then n bytes.
  std::string ReadCountedString();

  int64_t BytesLeft();
  bool AtEnd() { return BytesLeft() <= 0; }

private:
  std::ifstream in_;
  int64_t size_ = 0;
  // Where the next read starts: kept here, since asking the stream costs a
  // system call per read (tens of thousands for a mask).
  int64_t position_ = 0;
};

class ProjectFileReader {
public:
  ProjectFileReader();

  // Reads the whole file; raises on a failure before the end of the weather
  // block, keeps what it has read when a later item fails.
  void ReadProjectFile(const std::filesystem::path& file);

  void GetBackground(Bitmap32& bitmap) const;
  void GetThumbnail(Bitmap32& bitmap) const;
  // The mask must have the background's size: it paints the background's
  // pixels, and its size is not to be taken from the codes alone (a few
  // bytes could ask for a gigabyte). ProjectError when it differs.
  void GetMask(Bitmap32& bitmap, PixelSize background) const;
  void GetWaveParams(std::array<WaveParams, kWaveLayers>& params) const { params = WaveLayers; }
  void GetWeather(WeatherParams& weather) const { weather = Weather; }
  void GetSoundSlots(std::array<SoundSlot, kSoundSlots>& slots) const { slots = SoundSlots; }

  IntList MaskCodes;
  DecodedPicture Background;
  DecodedPicture Thumbnail;
  WeatherParams Weather;
  std::array<WaveParams, kWaveLayers> WaveLayers;
  std::array<SoundSlot, kSoundSlots> SoundSlots;
  std::string ObjectsText;
  std::string Title;
  std::string Description;
  std::string LegacySound;
  std::string BuildInfoText;
};

// Sizes the bitmap to codes[0] x codes[1] and paints the runs that follow
// (run = code div 10 pixels of mask code code mod 10), row by row. Runs past
// the last row, mask codes outside 0..6 or a negative code raise ProjectError,
// and so does a size other than `expected` when one is given (checked before
// anything is allocated).
void DecodeMask(const IntList& codes, Bitmap32& bitmap, std::optional<PixelSize> expected = std::nullopt);

}  // namespace lumevra
