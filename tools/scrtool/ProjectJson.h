// The "project" member of `scrtool info --json`: everything a project file
// holds, after the loader's defaults.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace lumevra {

class TProject;

// Writes the JSON object of a loaded (or failed) project.
void WriteProjectJson(const TProject& project, bool loaded, std::ostream& out);

// The project a file carries: entry 1 of its package, or the file itself
// when it is a bare project file. False when it carries neither.
bool LoadCarriedProject(const std::filesystem::path& file, TProject& project, bool& loaded);

}  // namespace lumevra
