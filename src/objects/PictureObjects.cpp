#include "objects/PictureObjects.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "base/AnsiText.h"
#include "graphics/PictureLoader.h"
#include "objects/GifPainter.h"

#ifdef _WIN32
#include <cwctype>
#endif

namespace fs = std::filesystem;

namespace lumevra {

namespace {

#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\:";
#else
// A project written on Windows names its pictures with backslashes; a colon
// is an ordinary file-name character here.
constexpr std::string_view kSeparators = "/\\";
#endif

fs::path FolderKey(const fs::path& folder) {
  fs::path p = folder.lexically_normal();
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  return p;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
  std::wstring x = FolderKey(a).native(), y = FolderKey(b).native();
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::towlower(x[i]) != std::towlower(y[i])) return false;
  return true;
#else
  return FolderKey(a) == FolderKey(b);
#endif
}

// The largest picture file read, as the picture loader's own limit.
constexpr std::uintmax_t kMaxPictureFileBytes = std::uintmax_t{1} << 30;

}  // namespace

bool IsPngFileName(std::string_view fileName) {
  return fileName.size() >= 4 && SameText(fileName.substr(fileName.size() - 4), ".PNG");
}

bool PictureFileExists(const std::string& fileName) {
  if (fileName.empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(AnsiToPath(fileName), ec);
}

std::string ReadPictureFile(const std::string& fileName) {
  const fs::path file = AnsiToPath(fileName);
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec) throw PictureError("Cannot read picture " + fileName + ": " + ec.message());
  if (size > kMaxPictureFileBytes) throw PictureError("Picture file is too large: " + fileName);
  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw PictureError("Cannot read picture " + fileName);
  return bytes;
}

int32_t GifSpeedPercent(int32_t animSpeed) {
  const int64_t speed = animSpeed > 10 ? int64_t{animSpeed} * 50 - 400 : int64_t{animSpeed} * 10;
  return static_cast<int32_t>(std::clamp<int64_t>(speed, 0, 1000));
}

std::string_view BareFileName(std::string_view fileName) {
  const size_t sep = fileName.find_last_of(kSeparators);
  return sep == std::string_view::npos ? fileName : fileName.substr(sep + 1);
}

PictureObject::PictureObject(fs::path sharedImagesFolder)
    : sharedImages_(std::move(sharedImagesFolder)) {}

void PictureObject::ResolveFileName() {
  const std::string_view bare = BareFileName(FileName);
  if (sharedImages_.empty() || bare.empty()) return;
  std::error_code ec;
  if (fs::is_regular_file(AnsiToPath(FileName), ec)) return;
  FileName = PathToAnsi(sharedImages_ / AnsiToPath(bare));
}

std::string PictureObject::FileNameForKeys() const {
  const std::string_view bare = BareFileName(FileName);
  if (sharedImages_.empty() || bare.size() == FileName.size()) return FileName;
  const std::string_view folder = std::string_view(FileName).substr(0, FileName.size() - bare.size());
  return SameFolder(AnsiToPath(folder), sharedImages_) ? std::string(bare) : FileName;
}

void PictureObject::LoadFileNameKey(std::string_view text) {
  Keys.SetText(text);
  FileName = Keys.ReadString(Section(), "Filename", FileName);
  ResolveFileName();
}

void PictureObject::DescribeFileName(ObjectKeyList& out) const {
  out.emplace_back("Filename", ObjectKeyValue(FileName));
}

void PictureObject::DrawOnto(Bitmap32& frame, const Rect& place, FontRaster*) {
  // A playing GIF shows its painter's latest complete frame.
  const Bitmap32* source = &CurrentImage();
  if (Flipped) {
    FlippedImage.Assign(*source);
    FlippedImage.FlipHorz();
    source = &FlippedImage;
  }
  frame.DrawStretched(place, Rect{0, 0, ImgWidth, ImgHeight}, *source);
}

void PictureObject::CombinePixel(Color32 F, Color32& B, uint32_t M) const {
  if (F == KeyColor && KeysOutKeyColor()) return;
  const uint32_t a = std::min<uint32_t>(M, 255), na = 255 - a;
  auto mix = [&](uint32_t f, uint32_t b) { return (f * a + b * na) / 255; };
  B = (a << 24) | (mix(RedOf(F), RedOf(B)) << 16) | (mix(GreenOf(F), GreenOf(B)) << 8) | mix(BlueOf(F), BlueOf(B));
}

void PictureObject::ResetSurface(Bitmap32& surface) {
  surface.SetSize(0, 0);
  surface.Mode = DrawMode::dmCustom;
  surface.OnPixelCombine = [this](Color32 F, Color32& B, uint32_t M) { CombinePixel(F, B, M); };
  surface.OnPixelAlpha = nullptr;
}

void PictureObject::ClearPicture() {
  ResetSurface(Image);
  ResetSurface(FlippedImage);
  ImgWidth = 0;
  ImgHeight = 0;
}

bool PictureObject::PictureFileFound() {
  ResolveFileName();
  return PictureFileExists(FileName);
}

// --- GIF ---

GifObject::GifObject(fs::path sharedImagesFolder) : PictureObject(std::move(sharedImagesFolder)) {}

void GifObject::LoadObjectFromText(std::string_view text) {
  LoadFileNameKey(text);
  const std::string s = Section();
  AnimSpeed = Keys.ReadInteger(s, "AnimSpeed", 10);
  Transparent = Keys.ReadBool(s, "Transparent", true);
  TransparentType = static_cast<uint8_t>(Keys.ReadInteger(s, "TransparentType", 0));
  TransparentColor = static_cast<uint32_t>(
      Keys.ReadInteger(s, "TransparentColor", static_cast<int32_t>(TransparentColor)));
  RefreshFrame = Keys.ReadBool(s, "RefreshFrame", false);
  LoadFromText(text);
}

std::string GifObject::SaveToText() {
  AnimObject::SaveToText();
  const std::string s = Section();
  Keys.WriteString(s, "ObjType", ObjType());
  Keys.WriteString(s, "Filename", FileNameForKeys());
  Keys.WriteInteger(s, "AnimSpeed", AnimSpeed);
  Keys.WriteBool(s, "Transparent", Transparent);
  Keys.WriteInteger(s, "TransparentType", TransparentType);
  Keys.WriteInteger(s, "TransparentColor", static_cast<int32_t>(TransparentColor));
  Keys.WriteBool(s, "RefreshFrame", RefreshFrame);
  return Keys.GetText();
}

ObjectKeyList GifObject::DescribeKeys() const {
  ObjectKeyList out = AnimObject::DescribeKeys();
  DescribeFileName(out);
  out.emplace_back("AnimSpeed", ObjectKeyValue(int64_t{AnimSpeed}));
  out.emplace_back("Transparent", ObjectKeyValue(Transparent));
  out.emplace_back("TransparentType", ObjectKeyValue(int64_t{TransparentType}));
  out.emplace_back("TransparentColor", ObjectKeyValue(int64_t{TransparentColor}));
  out.emplace_back("RefreshFrame", ObjectKeyValue(RefreshFrame));
  return out;
}

// --- still image ---

ImageObject::ImageObject(fs::path sharedImagesFolder) : PictureObject(std::move(sharedImagesFolder)) {}

void ImageObject::LoadObjectFromText(std::string_view text) {
  LoadFileNameKey(text);
  const std::string s = Section();
  Transparent = Keys.ReadBool(s, "Transparent", true);
  // A PNG brings its own alpha; any other picture keys on its bottom-left pixel.
  TransparentType =
      static_cast<uint8_t>(Keys.ReadInteger(s, "TransparentType", IsPngFileName(FileName) ? 0 : 1));
  TransparentColor = static_cast<uint32_t>(
      Keys.ReadInteger(s, "TransparentColor", static_cast<int32_t>(TransparentColor)));
  LoadFromText(text);
}

std::string ImageObject::SaveToText() {
  AnimObject::SaveToText();
  const std::string s = Section();
  Keys.WriteString(s, "ObjType", ObjType());
  Keys.WriteString(s, "Filename", FileNameForKeys());
  Keys.WriteBool(s, "Transparent", Transparent);
  Keys.WriteInteger(s, "TransparentType", TransparentType);
  Keys.WriteInteger(s, "TransparentColor", static_cast<int32_t>(TransparentColor));
  return Keys.GetText();
}

ObjectKeyList ImageObject::DescribeKeys() const {
  ObjectKeyList out = AnimObject::DescribeKeys();
  DescribeFileName(out);
  out.emplace_back("Transparent", ObjectKeyValue(Transparent));
  out.emplace_back("TransparentType", ObjectKeyValue(int64_t{TransparentType}));
  out.emplace_back("TransparentColor", ObjectKeyValue(int64_t{TransparentColor}));
  return out;
}

}  // namespace lumevra
