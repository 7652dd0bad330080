// ImageObject: loading the still picture, its key colour and PNG alpha, and
// the per-pixel alpha the surfaces ask for while drawing.
#include <cmath>
#include <cstdlib>
#include <exception>

#include "graphics/PictureLoader.h"
#include "objects/PictureObjects.h"

namespace lumevra {

namespace {

// Picture pixels of the part cut off at a frame edge: `cut` frame pixels of
// a picture drawn at `scale` x `sizePercent` %. No correction without a
// usable drawn size.
int64_t CutOffPixels(int32_t cachedEdge, int32_t sizePercent, double scale) {
  if (cachedEdge >= 0 || sizePercent <= 0 || !(scale > 0) || !std::isfinite(scale)) return 0;
  const double cut = std::floor(std::abs(static_cast<double>(cachedEdge)) * 100.0 / (sizePercent * scale));
  return cut < 1e15 ? static_cast<int64_t>(cut) : int64_t{1} << 50;
}

}  // namespace

ImageObject::~ImageObject() { Shutdown(); }

bool ImageObject::KeysOutKeyColor() const { return Transparent && !(IsPng && TransparentType == 0); }

void ImageObject::LoadImage(const std::string& path) {
  if (!PictureFileExists(path)) return;
  ClearPicture();
  IsPng = false;
  HasAlpha = false;
  AlphaData.clear();

  DecodedPicture picture;
  bool pngData = false;
  try {
    const std::string bytes = ReadPictureFile(path);
    pngData = DetectPictureFormat(bytes) == PictureFormat::Png;
    picture = DecodePicture(bytes, kObjectPictureLimits);
    Image.Assign(picture);
  } catch (const std::exception&) {
    // An undecodable picture: the object shows nothing.
    Image.SetSize(0, 0);
    pngData = false;
  }

  auto pixelAlpha = [this](int32_t x, int32_t y, uint32_t& alpha) { PixelAlpha(x, y, alpha); };
  if (IsPngFileName(path)) {
    Image.OnPixelAlpha = pixelAlpha;
    if (pngData && picture.hasAlpha && !Image.Empty()) {
      AlphaData.resize(picture.pixels.size());
      for (size_t i = 0; i < picture.pixels.size(); ++i) AlphaData[i] = AlphaOf(picture.pixels[i]);
      HasAlpha = true;
    }
    IsPng = true;
  }

  KeyColor = Image.Empty() ? 0 : Image.GetPixel(0, Image.Height() - 1);
  // A system colour has no value here; its low bytes stand for it.
  if (TransparentType == 2) KeyColor = WinColor32(TransparentColor & 0x00FFFFFFu);

  if (IsPng) FlippedImage.OnPixelAlpha = pixelAlpha;
  FlippedImage.SetSize(Image.Width(), Image.Height());
  ImgWidth = Image.Width();
  ImgHeight = Image.Height();
}

void ImageObject::Prepare() {
  if (!PictureFileFound()) {
    ClearPicture();
    return;
  }
  LoadImage(FileName);
  Image.Filter = StretchFilter::sfDraft;
  FlippedImage.Filter = StretchFilter::sfDraft;
  AnimObject::Prepare();
}

void ImageObject::ApplyAlpha(uint8_t alpha) {
  Image.SetMasterAlpha(alpha);
  FlippedImage.SetMasterAlpha(alpha);
}

void ImageObject::PixelAlpha(int32_t x, int32_t y, uint32_t& alpha) const {
  // Without the PNG's own alpha in use the picture takes Opacity and the
  // fades through MasterAlpha, like every other picture.
  if (!(Transparent && TransparentType == 0 && HasAlpha)) {
    alpha = Image.MasterAlpha();
    return;
  }
  int64_t px = x + CutOffPixels(CachedLeft, WidthSize, ScaleX);
  const int64_t py = y + CutOffPixels(CachedTop, HeightSize, ScaleY);
  if (Flipped) px = int64_t{ImgWidth} - 1 - px;
  const int64_t count = int64_t{ImgWidth} * ImgHeight;
  const int64_t p = py * Image.Width() + px;
  // Outside the picture (or its row) there is no alpha to show.
  if (px < 0 || px >= ImgWidth || p < 0 || p > count - 1 || static_cast<size_t>(p) >= AlphaData.size()) {
    alpha = 0;
    return;
  }
  alpha = uint32_t{AlphaData[static_cast<size_t>(p)]} * Image.MasterAlpha() / 255;
}

}  // namespace lumevra
