// Helpers shared by the object tests: keys as a map, and an object whose
// every key-backed field differs from its default.
#pragma once

#include <map>
#include <string>

#include "objects/AnimObject.h"

namespace lumevra::test {

inline std::map<std::string, ObjectKeyValue> KeyMap(const AnimObject& object) {
  std::map<std::string, ObjectKeyValue> map;
  for (const auto& [name, value] : object.DescribeKeys()) map.emplace(name, value);
  return map;
}

inline std::string KeyText(const ObjectKeyValue& value) {
  if (auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
  if (auto* d = std::get_if<double>(&value)) return std::to_string(*d);
  return '"' + std::get<std::string>(value) + '"';
}

// Not one of these is a default, so a key that is not read back shows.
inline void SetCommonFields(AnimObject& o) {
  o.Width = 321;
  o.Height = 123;
  o.Scaled = false;
  o.MoveAreaRect = {11, 12, 813, 614};
  o.WidthSize = 75;
  o.HeightSize = 150;
  o.Speed = 55;
  o.InitialPos = 3;
  o.InitialDir = 6;
  o.PosLeftType = 4;
  o.PosTopType = 5;
  o.PosLeft = -40;
  o.PosTop = 900;
  o.ObjFacing = 0;
  o.Opacity = 7;
  o.DisplaySec = 3;
  o.DisplayDurationType = 2;
  o.DisplayDurationSec = 9;
  o.DisplayDurationCycle = 4;
  o.Motion = 7;
  o.MotionSpeed = 25;
  o.MotionAreaType = 1;
  o.DirFlip = true;
  o.Redisplay = false;
  o.RedisplayDelay = 12;
  o.RedisplayTimes = 5;
  o.ResetPos = false;
  o.RestrictArea = false;
  o.OffScreenEdges = kEdgeBottom | kEdgeRight;
  o.AppearEffect = 1;
  o.AppearEffectDur = 4;
  o.DisappearEffect = 1;
  o.DisappearEffectDur = 6;
  // "Left" = Round(60 * 2 - 20 / 2) = 110, "Top" = Round(41 * 0.5) = 20 (half to even).
  o.PosX = 60;
  o.PosY = 41;
  o.ScaleX = 2;
  o.ScaleY = 0.5;
  o.ImgWidth = 20;
  o.ImgHeight = 0;
}

}  // namespace lumevra::test
