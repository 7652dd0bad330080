// The demo scene's background: a lake in the morning, painted by code, and
// its mask of water layers.
#pragma once

#include <cstdint>

#include "graphics/PictureLoader.h"

namespace lumevra::demo {

inline constexpr int32_t kSceneWidth = 1920;
inline constexpr int32_t kSceneHeight = 1080;
// Where the sun stands; demo.ini places the sun picture there.
inline constexpr int32_t kSunX = 1380;
inline constexpr int32_t kSunY = 300;

struct Landscape {
  DecodedPicture picture;
  // Layer codes: 1 the far water that mirrors the hills, 2 the near water,
  // 3 the brook coming down the hill; everything else no layer.
  DecodedPicture mask;
};

Landscape PaintLandscape();

}  // namespace lumevra::demo
