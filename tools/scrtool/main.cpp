// scrtool: looks into and works with screensaver packages.
#include <cstring>
#include <iostream>

#include "Commands.h"

namespace {

using lumevra::ToolCommand;

// Add a command here and it is dispatched and listed in the usage.
const ToolCommand kCommands[] = {
    {"info", "info FILE [--json]   show the package a file carries", lumevra::CmdInfo},
    {"build", "build SCENE.ini -o OUT [--runtime EXE]   build a screensaver from a scene", lumevra::CmdBuild},
    {"render",
     "render FILE -o OUT.png [--frames N] [--step-ms MS] [--seed S] [--speed P] [--screen WxH]\n"
     "                 [--stretch] [--proportional] [--clock CORNER] [--time HH:MM:SS] [--frames-dir DIR]\n"
     "                       render frames of a scene as the saver shows them",
     lumevra::CmdRender},
    {"extract", "extract FILE DIR     extract the package's entries into DIR", lumevra::CmdExtract},
};

int Usage(std::ostream& s) {
  s << "usage: scrtool COMMAND ...\n";
  for (const ToolCommand& c : kCommands) s << "  scrtool " << c.usage << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(std::cerr);
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "help")) {
    Usage(std::cout);
    return 0;
  }
  for (const ToolCommand& c : kCommands) {
    if (std::strcmp(argv[1], c.name) != 0) continue;
    lumevra::Args args(argv + 2, argv + argc);
    return c.run(args, std::cout, std::cerr);
  }
  std::cerr << "scrtool: unknown command " << argv[1] << "\n";
  return Usage(std::cerr);
}
