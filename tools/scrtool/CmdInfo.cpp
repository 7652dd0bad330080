// scrtool info FILE [--json]: what a file carries.
#include <ostream>

#include "Commands.h"
#include "Json.h"
#include "ProjectJson.h"
#include "base/AnsiText.h"
#include "base/Ini.h"
#include "engine/ScenePlayer.h"
#include "objects/ObjectList.h"
#include "package/PackageInfo.h"
#include "package/Project.h"

namespace lumevra {

namespace {

void PrintPackageJson(const std::optional<PackageInfo>& info, std::ostream& out) {
  if (!info) {
    out << "null";
    return;
  }
  out << "{\"offset\": " << info->offset << ", \"count\": " << info->count << ", \"header\": {";
  const Ini header(info->headerText);
  bool first = true;
  for (const std::string& key : header.SectionKeys("Header")) {
    out << (first ? "" : ", ") << JsonString(AnsiToUtf8(key)) << ": "
        << JsonString(AnsiToUtf8(header.ReadString("Header", key)));
    first = false;
  }
  out << "}, \"entries\": [";
  for (size_t i = 0; i < info->entrySizes.size(); ++i)
    out << (i ? ", " : "") << "{\"index\": " << i << ", \"size\": " << info->entrySizes[i] << "}";
  out << "]}";
}

void PrintJson(const std::filesystem::path& file, const std::optional<PackageInfo>& info, std::ostream& out) {
  out << "{\"package\": ";
  PrintPackageJson(info, out);
  out << ", \"project\": ";
  ScenePlayer scene;
  bool loaded = false;
  if (LoadCarriedProject(file, scene.GetProject(), loaded))
    WriteProjectJson(scene.GetProject(), scene.Objects(), loaded, out);
  else out << "null";
  out << "}\n";
}

void PrintProjectText(const std::filesystem::path& file, std::ostream& out) {
  ScenePlayer scene;
  Project& project = scene.GetProject();
  bool loaded = false;
  if (!LoadCarriedProject(file, project, loaded)) {
    out << "project: none\n";
    return;
  }
  if (!loaded) {
    out << "project: cannot be loaded: " << project.LoadError << "\n";
    return;
  }
  out << "project: \"" << AnsiToUtf8(project.Title) << "\", " << project.Width << " x " << project.Height
      << ", weather kind " << project.Weather.Kind << ", " << project.SoundCount() << " sounds, "
      << (scene.Objects() ? scene.Objects()->Count() : 0) << " objects\n";
}

void PrintText(const std::filesystem::path& file, const std::optional<PackageInfo>& info, std::ostream& out) {
  if (!info) {
    out << "package: none\n";
    PrintProjectText(file, out);
    return;
  }
  out << "package: at offset " << info->offset << ", " << info->count << " entries\n";
  const Ini header(info->headerText);
  out << "header:\n";
  for (const std::string& key : header.SectionKeys("Header"))
    out << "  " << AnsiToUtf8(key) << " = " << AnsiToUtf8(header.ReadString("Header", key)) << "\n";
  for (size_t i = 0; i < info->entrySizes.size(); ++i)
    out << "entry " << i << ": " << info->entrySizes[i] << " bytes\n";
  PrintProjectText(file, out);
}

}  // namespace

int CmdInfo(const Args& args, std::ostream& out, std::ostream& err) {
  std::string file;
  bool json = false;
  for (const std::string& a : args) {
    if (a == "--json") json = true;
    else if (file.empty()) file = a;
    else {
      err << "info: unexpected argument " << a << "\n";
      return 2;
    }
  }
  if (file.empty()) {
    err << "info: no file given\n";
    return 2;
  }
  std::optional<PackageInfo> info;
  try {
    info = ReadPackageInfo(file);
  } catch (const std::exception& e) {
    err << "info: " << e.what() << "\n";
    return 1;
  }
  if (json) PrintJson(file, info, out);
  else PrintText(file, info, out);
  return 0;
}

}  // namespace lumevra
