// The commands of scrtool. Each takes the arguments after its name and
// returns the process exit code.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace lumevra {

using Args = std::vector<std::string>;

struct ToolCommand {
  const char* name;
  const char* usage;
  int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

int CmdInfo(const Args& args, std::ostream& out, std::ostream& err);
int CmdBuild(const Args& args, std::ostream& out, std::ostream& err);
int CmdRender(const Args& args, std::ostream& out, std::ostream& err);
int CmdExtract(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace lumevra
