// The two picture kinds: GifObject (an animated GIF) and ImageObject (a still
// picture), over PictureObject, which holds the picture file name and the
// transparency keys they share.
//
// A picture named by a file that does not exist is looked for under the same
// bare name in the shared images folder, which the creator of the object
// hands in (this layer does not know where the maker's shared files live).
// Loading the picture itself happens when the object is prepared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/Bitmap32.h"
#include "graphics/GifDecoder.h"
#include "objects/AnimObject.h"

namespace lumevra {

class GifPainter;

// The part of an 8-bit file name after its last "/", "\" or ":".
std::string_view BareFileName(std::string_view fileName);

// Whether the file name ends in ".PNG", in any letter case.
bool IsPngFileName(std::string_view fileName);
// Whether a regular file exists at the 8-bit path.
bool PictureFileExists(const std::string& fileName);
// The bytes of a picture file; PictureError when it cannot be read or is
// larger than any picture the loader accepts.
std::string ReadPictureFile(const std::string& fileName);

// The colour a GIF object keys out: what its surfaces are cleared to and
// its transparent pixels keep (alpha 0, red 255, green 255, blue 0).
inline constexpr Color32 kGifKeyColor = 0x00FFFF00u;

// The animation speed in percent for "AnimSpeed": 1..10 give 10..100 %,
// above 10 AnimSpeed x 50 - 400 %; within 0..1000.
int32_t GifSpeedPercent(int32_t animSpeed);

class PictureObject : public AnimObject {
public:
  const std::filesystem::path& SharedImagesFolder() const { return sharedImages_; }

  // If no file exists at FileName, FileName becomes the shared images
  // folder + its bare name (whether or not that file exists either).
  // Nothing changes without a shared folder or without a bare name.
  void ResolveFileName();
  // "Filename" as written: the bare name when the file lies directly in the
  // shared images folder, else FileName as it is.
  std::string FileNameForKeys() const;

  // The surface the frame draws: Image, or for a playing GIF its latest
  // completely painted frame. Only the thread that draws frames calls it;
  // the result stays valid until its next call.
  virtual const Bitmap32& CurrentImage() const { return Image; }
  // The current image, mirrored when the object faces the other way,
  // stretched into `place`.
  void DrawOnto(Bitmap32& frame, const Rect& place, FontRaster* fonts) override;
  std::string* PictureFile() override { return &FileName; }

  // OnPixelCombine of both surfaces: leaves B as it is for a pixel equal to
  // KeyColor where the kind keys it out, else B = F over B at alpha M
  // (alpha M, each colour (F x M + B x (255 - M)) / 255).
  void CombinePixel(Color32 F, Color32& B, uint32_t M) const;

  std::string FileName;  // 8-bit full path of the picture file
  Color32 KeyColor = 0;
  bool Transparent = false;
  uint8_t TransparentType = 0;
  uint32_t TransparentColor = 0;  // a Windows colour value
  Bitmap32 FlippedImage;
  Bitmap32 Image;

protected:
  explicit PictureObject(std::filesystem::path sharedImagesFolder);

  // Parses the text into Keys and reads "Filename" (resolved at once).
  void LoadFileNameKey(std::string_view text);
  void DescribeFileName(ObjectKeyList& out) const;

  // Whether CombinePixel leaves pixels equal to KeyColor out.
  virtual bool KeysOutKeyColor() const = 0;
  // Makes the surface empty, in dmCustom, combining through CombinePixel.
  void ResetSurface(Bitmap32& surface);
  // No picture: both surfaces empty, ImgWidth = ImgHeight = 0.
  void ClearPicture();
  // FileName resolved (shared images folder as second place); whether a
  // file exists there.
  bool PictureFileFound();

private:
  std::filesystem::path sharedImages_;
};

class GifObject final : public PictureObject {
public:
  explicit GifObject(std::filesystem::path sharedImagesFolder = {});
  ~GifObject() override;

  std::string_view ObjType() const override { return "GIF"; }
  std::string SaveToText() override;
  void LoadObjectFromText(std::string_view text) override;
  ObjectKeyList DescribeKeys() const override;

  // Loads the picture (a missing file: nothing shows and the timing does
  // not start), runs the base Prepare, then paints the first frame on Image.
  void Prepare() override;
  // Stops the frame painter, then the worker.
  void Stop() override;
  void ApplyAlpha(uint8_t alpha) override;
  const Bitmap32& CurrentImage() const override;
  void SetManualStepping(bool manual) override;
  void StepNow() override;

  // Loads every frame, keys the transparency of each frame as the keys ask,
  // and starts the painter when there is more than one frame. A file that
  // cannot be decoded leaves the object without a picture.
  void LoadImage(const std::string& path);
  // Ends the painter (its thread joined); the frame it showed stays.
  void StopAnimation();

  // Manual: the painter takes no steps of its own, only AdvancePainter's
  // (tools and tests on a manual clock). Applies to a playing painter too.
  void SetManualPainter(bool manual);
  bool ManualPainter() const { return manualPainter_; }
  // Shows every frame whose time has come; returns the frames stepped.
  size_t AdvancePainter();
  // The painter of the loaded animation, or null (one frame, no picture).
  const GifPainter* Painter() const { return painter_.get(); }

  std::shared_ptr<GifAnimation> Decoder;  // the loaded GIF, all frames
  int32_t AnimSpeed = 0;
  Relaxed<bool> PainterActive;
  bool RefreshFrame = false;

protected:
  bool KeysOutKeyColor() const override { return true; }

private:
  // The frames' transparent index and disposal as the keys ask.
  void KeyFrames(GifAnimation& gif) const;

  std::unique_ptr<GifPainter> painter_;
  Relaxed<bool> manualPainter_;
};

class ImageObject final : public PictureObject {
public:
  explicit ImageObject(std::filesystem::path sharedImagesFolder = {});
  ~ImageObject() override;

  std::string_view ObjType() const override { return "IMG"; }
  std::string SaveToText() override;
  void LoadObjectFromText(std::string_view text) override;
  ObjectKeyList DescribeKeys() const override;

  // Loads the picture (a missing file: nothing shows and the timing does
  // not start), then runs the base Prepare.
  void Prepare() override;
  void ApplyAlpha(uint8_t alpha) override;

  // Loads the picture with the picture loader; a PNG's alpha goes to
  // AlphaData. A file that cannot be decoded leaves the surfaces empty.
  void LoadImage(const std::string& path);
  // OnPixelAlpha of both surfaces of a PNG: the PNG alpha x MasterAlpha /
  // 255 at picture pixel (x, y) of the drawn area, corrected for the part
  // cut off at the frame's left and top edges and for mirroring;
  // MasterAlpha alone when the PNG alpha is not in use.
  void PixelAlpha(int32_t x, int32_t y, uint32_t& alpha) const;

  bool IsPng = false;
  bool HasAlpha = false;
  std::vector<uint8_t> AlphaData;  // ImgWidth x ImgHeight, top row first

protected:
  bool KeysOutKeyColor() const override;
};

}  // namespace lumevra
