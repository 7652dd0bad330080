// A scene file (INI) names everything a screensaver holds; Scene turns it
// into a project file, a package header and the list of media to pack.
//
// [Scene]      Title, Description, Background (picture file), Thumbnail
//              (optional; else made 80 x 60 from the background), Mask
//              (picture painted in the six layer colours), Music (optional
//              file), MusicVolume, SoundVolume (0..100, default 100)
// [Wave0..7]   the wave layer fields by name (missing keys: the loader defaults)
// [Weather]    Kind (0/none, 1/snow, 2/rain), Amount, SpeedIndex,
//              SizeOrSlant, DropLength, Opacity
// [Sound0..7]  File, PlayMode, PauseMin, PauseMax (numbered without gaps)
// [BuildScr], [BuildExe]   Filename, MusicFile, Music, Sound
// [Obj0..]     object keys as the runtime reads them; "ObjType" GIF, IMG or
//              TXT; "Text" as plain text ("\n" marks a line break);
//              "Filename" a local picture file, packed as "obj" + index.
// File names are relative to the scene file's folder.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "authoring/ProjectWriter.h"

namespace lumevra {

// An error in a scene; what() names the file, section and key at fault.
class SceneError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct BuiltScene {
  ProjectData project;
  std::string headerText;  // entry 0
  // Entries 2.. in header order: the local file and its name in the package.
  struct Media {
    std::filesystem::path file;
    std::string name;
  };
  std::vector<Media> media;
};

BuiltScene LoadScene(const std::filesystem::path& sceneFile);

// Writes `out`: a copy of `runtime` followed by the package (header,
// project, media).
void WriteScreensaver(const BuiltScene& scene, const std::filesystem::path& out,
                      const std::filesystem::path& runtime);

}  // namespace lumevra
