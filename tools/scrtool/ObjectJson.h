// The "objects" array of `scrtool info --json`.
#pragma once

#include <iosfwd>

namespace lumevra {

class Project;

// Every object of the project's list with its key-backed fields; an empty
// array when the project has no list.
void WriteObjectsJson(const Project& project, std::ostream& out);

}  // namespace lumevra
