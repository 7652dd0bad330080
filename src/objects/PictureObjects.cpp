#include "objects/PictureObjects.h"

#include <system_error>
#include <utility>

#include "base/AnsiText.h"

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

bool IsPngName(std::string_view fileName) {
  return fileName.size() >= 4 && SameText(fileName.substr(fileName.size() - 4), ".PNG");
}

}  // namespace

std::string_view BareFileName(std::string_view fileName) {
  const size_t sep = fileName.find_last_of(kSeparators);
  return sep == std::string_view::npos ? fileName : fileName.substr(sep + 1);
}

TAnimImgObject::TAnimImgObject(fs::path sharedImagesFolder)
    : sharedImages_(std::move(sharedImagesFolder)) {}

void TAnimImgObject::ResolveFileName() {
  const std::string_view bare = BareFileName(FileName);
  if (sharedImages_.empty() || bare.empty()) return;
  std::error_code ec;
  if (fs::is_regular_file(AnsiToPath(FileName), ec)) return;
  FileName = PathToAnsi(sharedImages_ / AnsiToPath(bare));
}

std::string TAnimImgObject::FileNameForKeys() const {
  const std::string_view bare = BareFileName(FileName);
  if (sharedImages_.empty() || bare.size() == FileName.size()) return FileName;
  const std::string_view folder = std::string_view(FileName).substr(0, FileName.size() - bare.size());
  return SameFolder(AnsiToPath(folder), sharedImages_) ? std::string(bare) : FileName;
}

void TAnimImgObject::LoadFileNameKey(std::string_view text) {
  Keys.SetText(text);
  FileName = Keys.ReadString(Section(), "Filename", FileName);
  ResolveFileName();
}

void TAnimImgObject::DescribeFileName(ObjectKeyList& out) const {
  out.emplace_back("Filename", ObjectKeyValue(FileName));
}

// --- GIF ---

TGifObject::TGifObject(fs::path sharedImagesFolder) : TAnimImgObject(std::move(sharedImagesFolder)) {}

void TGifObject::LoadObjectFromText(std::string_view text) {
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

std::string TGifObject::SaveToText() {
  TAnimObject::SaveToText();
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

ObjectKeyList TGifObject::DescribeKeys() const {
  ObjectKeyList out = TAnimObject::DescribeKeys();
  DescribeFileName(out);
  out.emplace_back("AnimSpeed", ObjectKeyValue(int64_t{AnimSpeed}));
  out.emplace_back("Transparent", ObjectKeyValue(Transparent));
  out.emplace_back("TransparentType", ObjectKeyValue(int64_t{TransparentType}));
  out.emplace_back("TransparentColor", ObjectKeyValue(int64_t{TransparentColor}));
  out.emplace_back("RefreshFrame", ObjectKeyValue(RefreshFrame));
  return out;
}

// --- still image ---

TImgObject::TImgObject(fs::path sharedImagesFolder) : TAnimImgObject(std::move(sharedImagesFolder)) {}

void TImgObject::LoadObjectFromText(std::string_view text) {
  LoadFileNameKey(text);
  const std::string s = Section();
  Transparent = Keys.ReadBool(s, "Transparent", true);
  // A PNG brings its own alpha; any other picture keys on its bottom-left pixel.
  TransparentType =
      static_cast<uint8_t>(Keys.ReadInteger(s, "TransparentType", IsPngName(FileName) ? 0 : 1));
  TransparentColor = static_cast<uint32_t>(
      Keys.ReadInteger(s, "TransparentColor", static_cast<int32_t>(TransparentColor)));
  LoadFromText(text);
}

std::string TImgObject::SaveToText() {
  TAnimObject::SaveToText();
  const std::string s = Section();
  Keys.WriteString(s, "ObjType", ObjType());
  Keys.WriteString(s, "Filename", FileNameForKeys());
  Keys.WriteBool(s, "Transparent", Transparent);
  Keys.WriteInteger(s, "TransparentType", TransparentType);
  Keys.WriteInteger(s, "TransparentColor", static_cast<int32_t>(TransparentColor));
  return Keys.GetText();
}

ObjectKeyList TImgObject::DescribeKeys() const {
  ObjectKeyList out = TAnimObject::DescribeKeys();
  DescribeFileName(out);
  out.emplace_back("Transparent", ObjectKeyValue(Transparent));
  out.emplace_back("TransparentType", ObjectKeyValue(int64_t{TransparentType}));
  out.emplace_back("TransparentColor", ObjectKeyValue(int64_t{TransparentColor}));
  return out;
}

}  // namespace lumevra
