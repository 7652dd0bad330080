// GifObject: loading the animation, keying its transparency, and the frame
// painter that plays it.
#include <exception>
#include <utility>

#include "objects/GifPainter.h"
#include "objects/PictureObjects.h"

namespace lumevra {

namespace {

// Position of the colour (red, green and blue) in the colour map; -1 when
// it is not there or there is no map.
int32_t PaletteIndexOf(const std::vector<uint32_t>& palette, Color32 color) {
  for (size_t i = 0; i < palette.size(); ++i)
    if ((palette[i] & 0x00FFFFFFu) == (color & 0x00FFFFFFu)) return static_cast<int32_t>(i);
  return -1;
}

// The colour of the first frame's bitmap at (x, y): the colour map entry of
// the pixel's index whether or not it is the transparent one. False where
// the first frame does not cover the pixel.
bool FirstFrameColorAt(const GifAnimation& gif, int32_t x, int32_t y, Color32& color) {
  const GifFrame& first = gif.frames.front();
  if (x < 0 || y < 0 || x >= gif.width || y >= gif.height) return false;
  const int32_t fx = x - first.left, fy = y - first.top;
  if (fx < 0 || fy < 0 || fx >= first.width || fy >= first.height) return false;
  const uint8_t index = first.indices[static_cast<size_t>(fy) * first.width + fx];
  color = index < first.palette.size() ? first.palette[index] : 0xFF000000u;
  return true;
}

}  // namespace

GifObject::~GifObject() {
  Shutdown();
  StopAnimation();
}

void GifObject::KeyFrames(GifAnimation& gif) const {
  for (GifFrame& frame : gif.frames) {
    if (RefreshFrame) frame.disposal = GifDisposal::RestoreBackground;
    // The keys rewrite the transparency of a frame's graphic control
    // extension; a frame without one keeps every colour.
    if (!frame.hasControl) continue;
    int32_t index = -1;
    if (TransparentType == 1) {
      Color32 color = 0;
      if (FirstFrameColorAt(gif, 0, frame.height - 1, color)) index = PaletteIndexOf(gif.globalPalette, color);
    } else if (TransparentType == 2) {
      index = PaletteIndexOf(gif.globalPalette, WinColor32(TransparentColor));
    }
    if (!Transparent || (TransparentType != 0 && index < 0))
      frame.transparentIndex = -1;
    else if (TransparentType != 0)
      frame.transparentIndex = index;
  }
}

void GifObject::LoadImage(const std::string& path) {
  StopAnimation();
  if (!PictureFileExists(path)) return;
  painter_.reset();
  Decoder.reset();
  ClearPicture();
  try {
    auto gif = std::make_shared<GifAnimation>(DecodeGifAnimation(ReadPictureFile(path), kObjectPictureLimits));
    Decoder = gif;
    KeyFrames(*gif);
    const int32_t speed = GifSpeedPercent(AnimSpeed);

    Image.SetSize(gif->width, gif->height);
    FlippedImage.SetSize(gif->width, gif->height);
    KeyColor = kGifKeyColor;
    Image.Clear(KeyColor);
    FlippedImage.Clear(KeyColor);

    if (gif->frames.size() > 1) {
      painter_ = std::make_unique<GifPainter>(gif, speed, KeyColor, Image);
      painter_->Start(!manualPainter_);
    }
    PainterActive = true;
    ImgWidth = gif->width;
    ImgHeight = gif->height;
  } catch (const std::exception&) {
    // An undecodable GIF: the object keeps what was loaded so far.
  }
}

void GifObject::Prepare() {
  if (!PictureFileFound()) {
    StopAnimation();
    painter_.reset();
    Decoder.reset();
    ClearPicture();
    return;
  }
  LoadImage(FileName);
  AnimObject::Prepare();
  if (Decoder && Image.Width() == Decoder->width && Image.Height() == Decoder->height)
    PaintGifCanvasFrame(*Decoder, 0, Image.Bits());
}

void GifObject::Stop() {
  StopAnimation();
  AnimObject::Stop();
}

void GifObject::StopAnimation() {
  if (painter_) painter_->Stop();
  PainterActive = false;
}

void GifObject::ApplyAlpha(uint8_t alpha) {
  Image.SetMasterAlpha(alpha);
  FlippedImage.SetMasterAlpha(alpha);
  if (painter_) painter_->SetMasterAlpha(alpha);
}

const Bitmap32& GifObject::CurrentImage() const { return painter_ ? painter_->Acquire() : Image; }

void GifObject::SetManualStepping(bool manual) {
  SetManualPainter(manual);
  PictureObject::SetManualStepping(manual);
}

void GifObject::StepNow() {
  PictureObject::StepNow();
  if (Running) AdvancePainter();
}

void GifObject::SetManualPainter(bool manual) {
  manualPainter_ = manual;
  if (painter_ && painter_->Playing()) painter_->SetThreaded(!manual);
}

size_t GifObject::AdvancePainter() { return painter_ ? painter_->Advance() : 0; }

}  // namespace lumevra
