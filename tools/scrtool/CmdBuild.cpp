// scrtool build SCENE.ini -o OUT [--runtime EXE]: a screensaver from a scene.
#include <filesystem>
#include <ostream>

#include "Commands.h"
#include "authoring/Scene.h"
#ifdef _WIN32
#include "platform/win32/Win32System.h"
#endif

namespace lumevra {

namespace fs = std::filesystem;

namespace {

// The runtime built next to this tool.
fs::path DefaultRuntime(const std::string& self) {
  std::error_code ec;
#ifdef _WIN32
  fs::path me = Win32System().ProgramFile();
  if (me.empty()) me = fs::absolute(self, ec);
#else
  fs::path me = fs::read_symlink("/proc/self/exe", ec);
  if (ec) me = fs::absolute(self, ec);
#endif
  fs::path runtime = me.parent_path() / "StandAloneScr";
  if (me.extension() == ".exe") runtime += ".exe";
  return runtime;
}

}  // namespace

int CmdBuild(const Args& args, std::ostream& out, std::ostream& err) {
  std::string scene, output, runtime;
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "-o" || args[i] == "--runtime") && i + 1 < args.size()) {
      (args[i] == "-o" ? output : runtime) = args[i + 1];
      ++i;
    } else if (scene.empty() && args[i][0] != '-') {
      scene = args[i];
    } else {
      err << "build: unexpected argument " << args[i] << "\n";
      return 2;
    }
  }
  if (scene.empty() || output.empty()) {
    err << "build: expected SCENE.ini -o OUT [--runtime EXE]\n";
    return 2;
  }
  if (runtime.empty()) runtime = DefaultRuntime("scrtool").string();
  std::error_code ec;
  if (!fs::is_regular_file(runtime, ec)) {
    err << "build: no runtime at " << runtime << " (give one with --runtime)\n";
    return 1;
  }
  if (fs::equivalent(runtime, output, ec)) {
    err << "build: the output would overwrite the runtime\n";
    return 1;
  }
  try {
    const BuiltScene built = LoadScene(scene);
    WriteScreensaver(built, output, runtime);
    out << "wrote " << output << " (" << built.media.size() << " media files)\n";
  } catch (const std::exception& e) {
    err << "build: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace lumevra
