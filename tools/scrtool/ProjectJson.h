// The "project" member of `scrtool info --json`: everything a project file
// holds, after the loader's defaults.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace lumevra {

class ObjectList;
class Project;

// Writes the JSON object of a loaded (or failed) project and its objects
// (null: an empty list).
void WriteProjectJson(const Project& project, const ObjectList* objects, bool loaded, std::ostream& out);

// The project a file carries: entry 1 of its package, or the file itself
// when it is a bare project file. False when it carries neither.
bool LoadCarriedProject(const std::filesystem::path& file, Project& project, bool& loaded);

}  // namespace lumevra
