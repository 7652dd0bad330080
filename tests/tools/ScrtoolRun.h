// Running the scrtool program from the tool tests.
#pragma once

#include <filesystem>
#include <string>

#include "support/TestFiles.h"

namespace lumevra::test {

// A path as one shell word.
inline std::string Quote(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// Runs scrtool with `args`; its messages join `out` unless `withErrors` is false.
inline int Scrtool(const std::string& args, std::string& out, bool withErrors = true) {
  return RunCommand(std::string(LUMEVRA_SCRTOOL) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null"), out);
}

}  // namespace lumevra::test
