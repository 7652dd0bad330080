// The "project" member of `scrtool info --json`: everything a project file
// holds, after the loader's defaults.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace lumevra {

class Project;

// Writes the JSON object of a loaded (or failed) project.
void WriteProjectJson(const Project& project, bool loaded, std::ostream& out);

// The project a file carries: entry 1 of its package, or the file itself
// when it is a bare project file. False when it carries neither.
bool LoadCarriedProject(const std::filesystem::path& file, Project& project, bool& loaded);

}  // namespace lumevra
