// The two picture kinds: TGifObject (an animated GIF) and TImgObject (a still
// picture), over TAnimImgObject, which holds the picture file name and the
// transparency keys they share.
//
// A picture named by a file that does not exist is looked for under the same
// bare name in the shared images folder, which the creator of the object
// hands in (this layer does not know where the maker's shared files live).
// Loading the picture itself happens when the object is prepared.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/Bitmap32.h"
#include "objects/AnimObject.h"

namespace lumevra {

// The part of an 8-bit file name after its last "/", "\" or ":".
std::string_view BareFileName(std::string_view fileName);

class TAnimImgObject : public TAnimObject {
public:
  const std::filesystem::path& SharedImagesFolder() const { return sharedImages_; }

  // If no file exists at FileName, FileName becomes the shared images
  // folder + its bare name (whether or not that file exists either).
  // Nothing changes without a shared folder or without a bare name.
  void ResolveFileName();
  // "Filename" as written: the bare name when the file lies directly in the
  // shared images folder, else FileName as it is.
  std::string FileNameForKeys() const;

  std::string FileName;  // 8-bit full path of the picture file
  TColor32 KeyColor = 0;
  bool Transparent = false;
  uint8_t TransparentType = 0;
  uint32_t TransparentColor = 0;  // a Windows colour value
  TBitmap32 FlippedImage;
  TBitmap32 Image;

protected:
  explicit TAnimImgObject(std::filesystem::path sharedImagesFolder);

  // Parses the text into Keys and reads "Filename" (resolved at once).
  void LoadFileNameKey(std::string_view text);
  void DescribeFileName(ObjectKeyList& out) const;

private:
  std::filesystem::path sharedImages_;
};

class TGifObject final : public TAnimImgObject {
public:
  explicit TGifObject(std::filesystem::path sharedImagesFolder = {});

  std::string_view ObjType() const override { return "GIF"; }
  std::string SaveToText() override;
  void LoadObjectFromText(std::string_view text) override;
  ObjectKeyList DescribeKeys() const override;

  int32_t AnimSpeed = 0;
  Relaxed<bool> PainterActive;
  bool RefreshFrame = false;
};

class TImgObject final : public TAnimImgObject {
public:
  explicit TImgObject(std::filesystem::path sharedImagesFolder = {});

  std::string_view ObjType() const override { return "IMG"; }
  std::string SaveToText() override;
  void LoadObjectFromText(std::string_view text) override;
  ObjectKeyList DescribeKeys() const override;

  bool IsPng = false;
  bool HasAlpha = false;
  std::vector<uint8_t> AlphaData;  // ImgWidth x ImgHeight, top row first
};

}  // namespace lumevra
