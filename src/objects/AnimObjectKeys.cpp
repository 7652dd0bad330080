// The common keys of every object: one list, in the order SaveToText writes
// them, serves loading, saving and describing. Reading order has no effect
// on the result (every key is read on its own), so one order does for all.
#include <optional>
#include <type_traits>
#include <utility>

#include "objects/AnimObject.h"

namespace lumevra {

namespace {

enum class KeyRule {
  Normal,
  WrittenOnly,  // written for the authoring tool, never read back
  AlwaysTrue,   // read, but the field is true whatever the key says
};

// nullopt as default: a missing or malformed key keeps the current value.
using KeyDefault = std::optional<int32_t>;
constexpr KeyDefault kCurrent = std::nullopt;

// Self is AnimObject or const AnimObject; the visitor sees every key with
// its field, its default and its rule.
template <class Self, class Visitor>
void VisitCommonKeys(Self& o, Visitor& v) {
  v.Number("Width", o.Width, kCurrent);
  v.Number("Height", o.Height, kCurrent);
  v.Number("Scaled", o.Scaled, 1, KeyRule::AlwaysTrue);
  v.Number("MoveAreaRectleft", o.MoveAreaRect.Left, kCurrent);
  v.Number("MoveAreaRecttop", o.MoveAreaRect.Top, kCurrent);
  v.Number("MoveAreaRectright", o.MoveAreaRect.Right, kCurrent);
  v.Number("MoveAreaRectbottom", o.MoveAreaRect.Bottom, kCurrent);
  v.Number("WidthSize", o.WidthSize, 100);
  v.Number("HeightSize", o.HeightSize, 100);
  v.Number("Speed", o.Speed, 10);
  v.Number("InitialPos", o.InitialPos, kCurrent, KeyRule::WrittenOnly);
  v.Number("InitialDir", o.InitialDir, kCurrent);
  v.Number("PosLeftType", o.PosLeftType, 0);
  v.Number("PosTopType", o.PosTopType, 0);
  v.Number("PosLeft", o.PosLeft, 100);
  v.Number("PosTop", o.PosTop, 100);
  v.Number("ObjFacing", o.ObjFacing, 1);
  v.Number("Opacity", o.Opacity, 10);
  v.Number("DisplaySec", o.DisplaySec, 0);
  v.Number("DisplayDurationType", o.DisplayDurationType, 0);
  v.Number("DisplayDurationSec", o.DisplayDurationSec, 60);
  v.Number("DIsplayDurationCycle", o.DisplayDurationCycle, 10);
  v.Number("Motion", o.Motion, 0);
  v.Number("MotionSpeed", o.MotionSpeed, 10);
  v.Number("MotionAreaType", o.MotionAreaType, 0);
  v.Number("DirFlip", o.DirFlip, 0);
  v.Number("Redisplay", o.Redisplay, 1);
  v.Number("RedisplayDelay", o.RedisplayDelay, 30);
  v.Number("RedisplayTimes", o.RedisplayTimes, 0);
  v.Number("ResetPos", o.ResetPos, 1);
  v.Number("RestrictArea", o.RestrictArea, 1);
  v.Edges("OffScreenOpt", o.OffScreenEdges);
  v.Number("AppearEffect", o.AppearEffect, 0);
  v.Number("AppearEffectDur", o.AppearEffectDur, 2);
  v.Number("DisappearEffect", o.DisappearEffect, 0);
  v.Number("DisappearEffectDur", o.DisappearEffectDur, 2);
}

struct KeyReader {
  const Ini& keys;
  std::string section;

  // A byte field keeps the low 8 bits of the value, a boolean is any non-zero value.
  template <class F>
  void Number(std::string_view name, F& field, KeyDefault def, KeyRule rule = KeyRule::Normal) {
    if (rule == KeyRule::WrittenOnly) return;
    const int32_t value = keys.ReadInteger(section, name, def.value_or(static_cast<int32_t>(field)));
    field = rule == KeyRule::AlwaysTrue ? F(true) : static_cast<F>(value);
  }
  void Edges(std::string_view name, uint8_t& edges) {
    edges = ParseOffScreenEdges(keys.ReadString(section, name, kDefaultOffScreenOpt));
  }
};

struct KeyWriter {
  Ini& keys;
  std::string section;

  template <class F>
  void Number(std::string_view name, const F& field, KeyDefault, KeyRule = KeyRule::Normal) {
    keys.WriteInteger(section, name, static_cast<int32_t>(field));
  }
  void Edges(std::string_view name, uint8_t edges) {
    keys.WriteString(section, name, OffScreenEdgesText(edges));
  }
};

struct KeyDescriber {
  ObjectKeyList& out;

  template <class F>
  void Number(std::string_view name, const F& field, KeyDefault, KeyRule = KeyRule::Normal) {
    if constexpr (std::is_same_v<F, bool>)
      out.emplace_back(std::string(name), ObjectKeyValue(field));
    else
      out.emplace_back(std::string(name), ObjectKeyValue(static_cast<int64_t>(field)));
  }
  void Edges(std::string_view name, uint8_t edges) {
    out.emplace_back(std::string(name), ObjectKeyValue(OffScreenEdgesText(edges)));
  }
};

}  // namespace

void AnimObject::LoadFromText(std::string_view text) {
  Keys.SetText(text);
  KeyReader reader{Keys, Section()};
  VisitCommonKeys(*this, reader);
}

std::string AnimObject::SaveToText() {
  Keys.Clear();
  const std::string section = Section();
  Keys.WriteInteger(section, "Left", ScreenLeft());
  Keys.WriteInteger(section, "Top", ScreenTop());
  KeyWriter writer{Keys, section};
  VisitCommonKeys(std::as_const(*this), writer);
  return Keys.GetText();
}

ObjectKeyList AnimObject::DescribeKeys() const {
  ObjectKeyList out;
  KeyDescriber describer{out};
  VisitCommonKeys(*this, describer);
  return out;
}

}  // namespace lumevra
