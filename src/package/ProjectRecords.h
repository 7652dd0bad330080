// The parameter records of a project, the speed table and the mask colours.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lumevra {

// A project has this many wave layers and this many sound slots.
inline constexpr int32_t kWaveLayers = 8;
inline constexpr int32_t kSoundSlots = 8;

// The six wave directions of a layer. Straight waves run along the rows;
// their jitter lifts both the source and the target row. Slanted waves add a
// column term that tilts the wave fronts, starting from the left or the
// right edge. Forward directions advance the phase, backward ones take it
// back.
enum class WaveDirection : int32_t {
  StraightBackward = 0,
  StraightForward = 1,
  SlantFromRightForward = 2,
  SlantFromLeftForward = 3,
  SlantFromLeftBackward = 4,
  SlantFromRightBackward = 5,
};

// What a stored direction does. Values outside 0..5 keep their old effect:
// below 0 a straight forward wave; above 5 a straight forward wave whose
// jitter does not lift the rows.
struct WaveDirectionTraits {
  bool jitterLifts = false;  // the jitter moves the target row as well
  bool slanted = false;
  bool fromRight = false;    // a slant starts from the right edge
  bool backward = false;     // the phase falls
};

constexpr WaveDirectionTraits TraitsOfDirection(int32_t stored) {
  using D = WaveDirection;
  const auto is = [stored](D d) { return stored == static_cast<int32_t>(d); };
  WaveDirectionTraits t;
  t.jitterLifts = stored < static_cast<int32_t>(D::SlantFromRightForward);
  t.fromRight = is(D::SlantFromRightForward) || is(D::SlantFromRightBackward);
  t.slanted = t.fromRight || is(D::SlantFromLeftForward) || is(D::SlantFromLeftBackward);
  t.backward = is(D::StraightBackward) || is(D::SlantFromLeftBackward) || is(D::SlantFromRightBackward);
  return t;
}

// One water-wave layer: the 32-byte wave record of the project file.
struct WaveParams {
  int32_t Amplitude = 0;    // peak displacement, background pixels
  int32_t WaveCount = 0;    // wave cycles over the picture height (for Period 360)
  int32_t Speed = 0;        // phase advance per 50 ms at 100 %, degrees
  int32_t Direction = 0;    // as stored, 0..5 (see WaveDirection)
  bool HorzSway = false;
  bool VertWave = false;
  bool Perspective = false;
  int32_t Period = 0;       // degrees after which the wave argument wraps
  int32_t Jitter = 0;       // range of the fixed random row offset per column
  bool ReservedFlag = false;
  bool Reflection = false;

  static constexpr size_t kRecordSize = 32;
  // From / to the record as stored (booleans: any non-zero byte is true).
  void FromRecord(const uint8_t* record);
  void ToRecord(uint8_t* record) const;
  // The loader's defaults (ReservedFlag and Reflection are left alone).
  void SetLoaderDefaults();
};

// What falls over the scene, by the stored "Kind".
enum class WeatherKind : int32_t { None = 0, Snow = 1, Rain = 2 };

// Snow or rain: the 24-byte weather block.
struct WeatherParams {
  int32_t Kind = 0;  // as stored: 0 none, 1 snow, 2 rain (see KindOf)
  int32_t Amount = 0;
  int32_t SpeedIndex = 0;   // index into SpeedSteps
  int32_t SizeOrSlant = 0;  // snow: largest flake; rain: slant in degrees
  int32_t DropLength = 0;   // rain: tenths of the base length
  int32_t Opacity = 0;      // tenths, 10 = full

  static constexpr size_t kRecordSize = 24;
  void FromRecord(const uint8_t* record);
  void ToRecord(uint8_t* record) const;

  // The stored kind; any other value draws nothing.
  WeatherKind KindOf() const {
    return Kind == 1 ? WeatherKind::Snow : Kind == 2 ? WeatherKind::Rain : WeatherKind::None;
  }
  // Any positive kind switches the weather on (a frame surface is made for
  // it), even one that draws nothing.
  bool SwitchedOn() const { return Kind > 0; }
};

// When a sound slot plays, by the stored "PlayMode".
enum class SoundPlayMode : int32_t {
  Loop = 0,         // once, looping for the whole run
  RandomPause = 1,  // again and again, PauseMin..PauseMax seconds apart
  FixedPause = 2,   // again and again, PauseMin seconds apart
  Never = -1,       // any other stored value
};

// One sound effect of the project: the 268-byte sound slot.
struct SoundSlot {
  std::string SoundFile;  // at most 255 bytes; empty marks an empty slot
  int32_t PlayMode = 0;   // as stored: 0 loop, 1 random pause, 2 fixed pause (see ModeOf)
  int32_t PauseMin = 0;   // seconds
  int32_t PauseMax = 0;   // seconds

  static constexpr size_t kRecordSize = 268;
  static constexpr size_t kMaxFileName = 255;

  SoundPlayMode ModeOf() const {
    return PlayMode >= 0 && PlayMode <= 2 ? static_cast<SoundPlayMode>(PlayMode) : SoundPlayMode::Never;
  }
  void FromRecord(const uint8_t* record);
  void ToRecord(uint8_t* record) const;
  // Stores a file name, cut to 255 bytes.
  void SetSoundFile(const std::string& name);
};

using IntList = std::vector<int32_t>;

// The 21 speed percentages of the speed slider and the weather, index 10 = 100.
inline constexpr std::array<int32_t, 21> SpeedSteps = {
    10, 20, 30, 45, 50, 60, 70, 75, 80, 90, 100, 120, 140, 160, 180, 200, 220, 240, 360, 480, 500};

// Raw 32-bit mask pixel values of mask codes 1..6 (index 0 unused: no layer).
inline constexpr std::array<uint32_t, 7> LayerColors = {
    0x00000000, 0x000000FF, 0x00FF00FF, 0x00FF0000, 0x00FFFF00, 0x0000FF00, 0x0000FFFF};

// 0 gives 0; 1..6 give LayerColors; anything else gives 0.
uint32_t MaskColor(int32_t code);
// The code 1..6 whose colour equals the pixel value exactly, else 0.
int32_t MaskCode(uint32_t pixel);

}  // namespace lumevra
