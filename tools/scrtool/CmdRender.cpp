// scrtool render FILE -o OUT.png [options]: frames of a scene, rendered as
// the saver would show them, on a manual clock and a seeded generator, with
// the objects stepped from here instead of their own threads (each frame's
// time split into their 5 ms steps), so the same arguments give the same
// bytes on every run.
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>

#include "Commands.h"
#include "ProjectJson.h"
#include "base/Clock.h"
#include "base/Ini.h"
#include "base/Random.h"
#include "engine/ScenePlayer.h"
#include "graphics/PngWriter.h"
#include "objects/ObjectList.h"
#ifdef _WIN32
#include "platform/win32/GdiFontRaster.h"
#else
#include "platform/fonts/FreeTypeFontRaster.h"
#endif

namespace lumevra {

namespace fs = std::filesystem;

namespace {

struct RenderOptions {
  std::string file, output, framesDir;
  int32_t frames = 1;
  int32_t stepMs = 32;
  uint64_t seed = 1;
  int32_t speed = 100;
  int32_t screenW = 0, screenH = 0;  // 0: the picture's size
  bool stretch = false, proportional = false;
  int32_t clockCorner = -1;          // -1: no clock
  ClockTime time{12, 0, 0, 0};
};

bool ParseSize(const std::string& s, int32_t& w, int32_t& h) {
  const size_t x = s.find_first_of("xX");
  if (x == std::string::npos) return false;
  const auto a = ParseInteger(s.substr(0, x)), b = ParseInteger(s.substr(x + 1));
  if (!a || !b || *a <= 0 || *b <= 0 || *a > 16384 || *b > 16384) return false;
  w = *a;
  h = *b;
  return true;
}

bool ParseTime(const std::string& s, ClockTime& t) {
  int h = 0, m = 0, sec = 0;
  char c1 = 0, c2 = 0;
  std::istringstream in(s);
  if (!(in >> h >> c1 >> m >> c2 >> sec) || c1 != ':' || c2 != ':' || h < 0 || h > 23 || m < 0 || m > 59 ||
      sec < 0 || sec > 59)
    return false;
  t = ClockTime{h, m, sec, 0};
  return true;
}

// Parses the options; an error message, or empty when all is well.
std::string Parse(const Args& args, RenderOptions& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    auto number = [&](int32_t& v, int32_t lo, int32_t hi) {
      std::string text;
      if (!value(text)) return false;
      const auto n = ParseInteger(text);
      if (!n || *n < lo || *n > hi) return false;
      v = *n;
      return true;
    };
    std::string text;
    bool ok = true;
    if (a == "-o") ok = value(o.output);
    else if (a == "--frames") ok = number(o.frames, 0, 100000);
    else if (a == "--step-ms") ok = number(o.stepMs, 0, 3600000);
    else if (a == "--seed") {
      ok = value(text);
      try {
        o.seed = std::stoull(text);
      } catch (const std::exception&) {
        ok = false;
      }
    } else if (a == "--speed") ok = number(o.speed, 1, 10000);
    else if (a == "--screen") ok = value(text) && ParseSize(text, o.screenW, o.screenH);
    else if (a == "--stretch") o.stretch = true;
    else if (a == "--proportional") o.proportional = true;
    else if (a == "--clock") ok = number(o.clockCorner, 0, 3);
    else if (a == "--time") ok = value(text) && ParseTime(text, o.time);
    else if (a == "--frames-dir") ok = value(o.framesDir);
    else if (o.file.empty() && !a.empty() && a[0] != '-') o.file = a;
    else return "unexpected argument " + a;
    if (!ok) return "bad or missing value for " + a;
  }
  if (o.file.empty() || o.output.empty()) return "expected FILE -o OUT.png";
  return {};
}

DecodedPicture ToPicture(const Bitmap32& s) {
  DecodedPicture p;
  p.width = s.Width();
  p.height = s.Height();
  p.pixels.assign(s.Bits(), s.Bits() + static_cast<size_t>(p.width) * p.height);
  return p;
}

void WritePngFile(const fs::path& file, const DecodedPicture& p) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::string bytes = EncodePng(p, false);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// The screen as the saver presents the frame: black around it, placed by
// the scene's own rule.
DecodedPicture Screen(ScenePlayer& scene, const Bitmap32& frame, const RenderOptions& o) {
  if (o.screenW <= 0) return ToPicture(frame);
  Bitmap32 screen;
  screen.SetSize(o.screenW, o.screenH);
  screen.Clear(Rgba(0, 0, 0));
  const FrameOffset at = scene.PlaceOn({o.screenW, o.screenH});
  screen.Draw(at.x, at.y, frame);
  return ToPicture(screen);
}

// A private folder for the extraction, removed with whatever is left in it.
struct ScratchFolder {
  fs::path root;
  ~ScratchFolder() {
    std::error_code ec;
    if (!root.empty()) fs::remove_all(root, ec);
  }
};

}  // namespace

int CmdRender(const Args& args, std::ostream& out, std::ostream& err) {
  RenderOptions o;
  if (const std::string problem = Parse(args, o); !problem.empty()) {
    err << "render: " << problem << "\n";
    return 2;
  }
  try {
    ManualClock clock(0);
    ScopedClock useClock(clock);
    SetFixedSeed(o.seed);
#ifdef _WIN32
    GdiFontRaster fonts;
#else
    FreeTypeFontRaster fonts;
#endif
    ScratchFolder scratch;
    ScenePlayer scene(&fonts);
    Project& project = scene.GetProject();
    if (FindPackage(o.file)) {
      // A folder only this run made: one that already exists is never used.
      std::random_device rd;
      for (int attempt = 0; scratch.root.empty() && attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("scrtool-render-" + std::to_string(rd()));
        if (fs::create_directory(candidate)) scratch.root = candidate;
      }
      if (scratch.root.empty()) throw IoError("cannot create a scratch folder in " + fs::temp_directory_path().string());
      fs::permissions(scratch.root, fs::perms::owner_all, fs::perm_options::replace);
      scene.Extract(o.file, scratch.root);
    } else {
      bool loaded = false;
      if (!LoadCarriedProject(o.file, project, loaded)) {
        err << "render: " << o.file << " holds neither a package nor a project\n";
        return 1;
      }
    }
    if (project.Background.Empty()) {
      err << "render: the project cannot be loaded: " << project.LoadError << "\n";
      return 1;
    }
    ObjectList* objects = scene.Objects();
    if (objects) objects->SetManualStepping(true);

    SceneOptions options;
    options.speedPercent = o.speed;
    options.stretch = o.stretch;
    options.proportional = o.proportional;
    options.showClock = o.clockCorner >= 0;
    if (options.showClock) options.clockCorner = static_cast<uint8_t>(o.clockCorner);
    if (o.screenW > 0) options.screen = {o.screenW, o.screenH};
    const ClockTime fixed = o.time;
    scene.GetEngine().Clock.SetTimeSource([fixed] { return fixed; });
    scene.Prepare(options);

    if (!o.framesDir.empty()) fs::create_directories(o.framesDir);
    for (int32_t i = 0; i < o.frames; ++i) {
      if (objects)
        objects->StepFor(clock, static_cast<uint32_t>(o.stepMs));
      else
        clock.Advance(static_cast<uint32_t>(o.stepMs));
      scene.Step();
      if (!o.framesDir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.png", i + 1);
        WritePngFile(fs::path(o.framesDir) / name, Screen(scene, scene.Frame(), o));
      }
    }
    const Bitmap32& last = o.frames == 0 ? scene.StillPicture() : scene.Frame();
    WritePngFile(o.output, Screen(scene, last, o));
    out << "wrote " << o.output << " (" << o.frames << " frames)\n";
  } catch (const std::exception& e) {
    err << "render: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace lumevra
