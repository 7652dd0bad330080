// Helpers shared by the picture object tests: writing a small picture to a
// file, preparing an object on it, and drawing it at its own size over a
// plain frame.
#pragma once

#include <string>

#include "base/AnsiText.h"
#include "graphics/Bitmap32.h"
#include "objects/PictureObjects.h"
#include "support/TestFiles.h"

namespace lumevra::test {

// A background colour no fixture picture uses.
inline constexpr Color32 kFrameGrey = 0xFF404040u;

inline std::string WritePicture(const TempFolder& folder, const std::string& name, const std::string& bytes) {
  WriteFile(folder / name, bytes);
  return PathToAnsi(folder / name);
}

// Common keys that keep the picture still, whole on the frame (centred at
// 50, 50) and shown from the start.
inline void PlainPlacement(AnimObject& object, int32_t opacity = 10) {
  object.PosLeft = 50;
  object.PosTop = 50;
  object.Opacity = opacity;
  object.WidthSize = 100;
  object.HeightSize = 100;
  object.BackWidth = 100;
  object.BackHeight = 100;
  object.ScreenRect = Rect{0, 0, 100, 100};
}

// The object's current picture drawn at its own size over a grey frame.
inline void DrawOverGrey(const PictureObject& object, Bitmap32& frame) {
  const Bitmap32& picture = object.CurrentImage();
  frame.SetSize(object.ImgWidth, object.ImgHeight);
  frame.Clear(kFrameGrey);
  frame.DrawStretched(Rect{0, 0, object.ImgWidth, object.ImgHeight}, Rect{0, 0, object.ImgWidth, object.ImgHeight},
                      picture);
}

}  // namespace lumevra::test
