#include "objects/TextObject.h"

#include "objects/ObjectText.h"

namespace lumevra {

std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find_first_of("\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    const size_t breakLength = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    text.remove_prefix(end + breakLength);
  }
  return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

TextObject::~TextObject() { Shutdown(); }

void TextObject::Prepare() {
  TextAlpha = 255;
  Opacity = 10;
  AnimObject::Prepare();
}

void TextObject::ApplyAlpha(uint8_t alpha) { TextAlpha = alpha; }

void TextObject::LoadObjectFromText(std::string_view text) {
  Keys.SetText(text);
  const std::string s = Section();
  Lines = SplitTextLines(DecodeObjectText(Keys.ReadString(s, "Text")));
  TextColor = static_cast<uint32_t>(Keys.ReadInteger(s, "TextColor", 0xFFFFFF));
  FontSize = Keys.ReadInteger(s, "FontSize", 20);
  Position = Keys.ReadInteger(s, "Position", 0);
  FontName = Keys.ReadString(s, "Font", "Arial");
  LoadFromText(text);
}

std::string TextObject::SaveToText() {
  AnimObject::SaveToText();
  const std::string s = Section();
  Keys.WriteString(s, "ObjType", ObjType());
  Keys.WriteString(s, "Text", EncodeObjectText(JoinTextLines(Lines)));
  Keys.WriteInteger(s, "TextColor", static_cast<int32_t>(TextColor));
  Keys.WriteInteger(s, "FontSize", FontSize);
  Keys.WriteInteger(s, "Position", Position);
  Keys.WriteString(s, "Font", FontName);
  return Keys.GetText();
}

ObjectKeyList TextObject::DescribeKeys() const {
  ObjectKeyList out = AnimObject::DescribeKeys();
  out.emplace_back("Text", ObjectKeyValue(JoinTextLines(Lines)));
  out.emplace_back("TextColor", ObjectKeyValue(int64_t{TextColor}));
  out.emplace_back("FontSize", ObjectKeyValue(int64_t{FontSize}));
  out.emplace_back("Position", ObjectKeyValue(int64_t{Position}));
  out.emplace_back("Font", ObjectKeyValue(FontName));
  return out;
}

}  // namespace lumevra
