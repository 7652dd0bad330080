// The "objects" array of `scrtool info --json`.
#pragma once

#include <iosfwd>

namespace lumevra {

class ObjectList;

// Every object of the list with its key-backed fields; an empty array
// without a list.
void WriteObjectsJson(const ObjectList* objects, std::ostream& out);

}  // namespace lumevra
