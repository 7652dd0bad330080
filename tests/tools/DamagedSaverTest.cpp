// Hundreds of damaged screensavers through the real programs: `scrtool
// info` and the saver itself on the headless backend. Each must end on its
// own without a crash, say what it could not load or fall back as the
// damage calls for, remove what it extracted, write nothing outside its
// private folders, and stay within a memory bound.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

#include "DamagedSavers.h"
#include "support/SaverFixture.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

// Far above what a damaged file of a few hundred kilobytes may cost (the
// undamaged scene needs a fraction of it, sanitizers included), far below
// the gigabytes a size taken on trust used to allocate.
constexpr long kMaxResidentMb = 600;
constexpr int kRunTimeoutMs = 60000;

struct Finished {
  int code = -1;  // the exit code; 128 + signal; -1 when killed for time
  long residentMb = 0;
  std::string out, err;
};

// Runs `argv` in `cwd` with `env` added, and waits for its end.
Finished RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& cwd,
             const fs::path& logs) {
  const fs::path outFile = logs / "out.txt", errFile = logs / "err.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    if (chdir(cwd.c_str()) != 0) _exit(126);
    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  Finished f;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRunTimeoutMs);
  int status = 0;
  rusage usage{};
  for (;;) {
    if (wait4(pid, &status, WNOHANG, &usage) == pid) {
      f.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() > until) {
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &usage);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  f.residentMb = usage.ru_maxrss / 1024;
  f.out = test::ReadFile(outFile);
  f.err = test::ReadFile(errFile);
  return f;
}

// Everything below `dir`: files, links and folders.
std::vector<std::string> EverythingBelow(const fs::path& dir) {
  std::vector<std::string> found;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    found.push_back(fs::relative(it->path(), dir).string());
  std::sort(found.begin(), found.end());
  return found;
}

std::string Head(const std::string& text) { return text.substr(0, 600); }

class DamagedSaverTest : public ::testing::Test {
protected:
  void SetUp() override {
    runtime_ = test::ReadFile(LUMEVRA_STANDALONESCR);
    fs::create_directories(outside_);
  }

  // Runs both programs on one damaged saver and checks what they leave.
  void Check(const test::DamagedSaver& saver) {
    SCOPED_TRACE(saver.name);
    const fs::path root = dir_ / "case";
    fs::remove_all(root);
    for (const char* sub : {"tmp", "rt/lumevra", "home"}) fs::create_directories(root / sub);
    // A runtime folder of the user's own, where the saver extracts.
    fs::permissions(root / "rt", fs::perms::owner_all);
    fs::permissions(root / "rt/lumevra", fs::perms::owner_all);
    // Files where names that climb out of the extraction folder, or name
    // another folder, would land: each must be there, untouched, after the
    // run (an extraction removes what it wrote, so a missing file shows an
    // escape as well as a changed one).
    const std::vector<fs::path> sentinels = {
        root / "rt/lumevra/escaped.wav", root / "rt/escaped.wav", root / "escaped.wav",  dir_ / "escaped.wav",
        root / "rt/lumevra/KATemp.kap",  outside_ / "absolute.wav", outside_ / "KATemp.kap", outside_ / "tune.mp3"};
    for (const fs::path& sentinel : sentinels) test::WriteFile(sentinel, "sentinel");
    const fs::path file = root / "Damaged.scr";
    test::WriteFile(file, runtime_ + saver.package);
    fs::permissions(file, fs::perms::owner_all);
    const std::vector<std::string> env = {
        "TMPDIR=" + (root / "tmp").string(), "XDG_RUNTIME_DIR=" + (root / "rt").string(),
        "HOME=" + (root / "home").string(), "XDG_CONFIG_HOME=" + (root / "home").string(),
        "LUMEVRA_BACKEND=headless", "LUMEVRA_HEADLESS_FRAMES=3", "LUMEVRA_STATS=1", "SDL_AUDIODRIVER=dummy"};

    const Finished info = RunProgram({LUMEVRA_SCRTOOL, "info", file.string()}, env, root, dir_.path());
    EXPECT_EQ(info.code, 0) << Head(info.err);
    EXPECT_NE(info.out.find("package:"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find(saver.expect.info), std::string::npos) << "expected \"" << saver.expect.info << "\" in\n"
                                                                    << info.out;
    // A project that cannot be loaded says why.
    const size_t refused = info.out.find("cannot be loaded: ");
    if (refused != std::string::npos) {
      EXPECT_NE(info.out[refused + 18], '\n') << info.out;
    }
    EXPECT_LE(info.residentMb, kMaxResidentMb);

    const Finished run = RunProgram({file.string(), "/s"}, env, root, dir_.path());
    EXPECT_EQ(run.code, 0) << Head(run.err);
    EXPECT_LE(run.residentMb, kMaxResidentMb);
    if (saver.expect.caption) {
      const std::string caption = "caption \"" + std::string(saver.expect.caption) + "\"";
      EXPECT_NE(run.err.find(caption), std::string::npos) << "expected " << caption << " in\n" << Head(run.err);
    }
    peakMb_ = std::max({peakMb_, info.residentMb, run.residentMb});

    for (const fs::path& sentinel : sentinels) {
      std::error_code ec;
      EXPECT_TRUE(fs::is_regular_file(sentinel, ec) && test::ReadFile(sentinel) == "sentinel")
          << "written outside the extraction folder: " << sentinel;
    }
    // Besides, only the program file, the folders and the single-instance
    // lock remain.
    const std::vector<std::string> allowed = {"Damaged.scr", "escaped.wav", "home", "rt", "rt/escaped.wav",
                                              "rt/lumevra", "rt/lumevra/KAStndAlneScreenSaverSemaphore.lock",
                                              "rt/lumevra/KATemp.kap", "rt/lumevra/escaped.wav", "tmp"};
    for (const std::string& left : EverythingBelow(root))
      EXPECT_NE(std::find(allowed.begin(), allowed.end(), left), allowed.end()) << "left behind: " << left;
    for (const std::string& left : EverythingBelow(outside_))
      EXPECT_TRUE(left == "absolute.wav" || left == "KATemp.kap" || left == "tune.mp3") << "written outside: " << left;
  }

  void CheckAll(const std::vector<test::DamagedSaver>& savers) {
    for (const test::DamagedSaver& saver : savers) {
      Check(saver);
      if (HasFatalFailure()) return;
    }
    std::cout << savers.size() << " damaged savers; at most " << peakMb_ << " MB resident\n";
  }

  test::TempFolder dir_;
  const fs::path media_ = dir_ / "media";
  const fs::path outside_ = dir_ / "outside";
  std::string runtime_;
  long peakMb_ = 0;
};

TEST_F(DamagedSaverTest, TheWholeSceneRunsAndLeavesNothing) {
  Check({"undamaged", test::WholePackage(media_), {"project: \"Harbour Lights\", 64 x 32", test::kDamagedSceneTitle}});
}

TEST_F(DamagedSaverTest, PackagesCutShortOrLyingAboutTheirEntries) { CheckAll(test::DamagedPackages(media_)); }

TEST_F(DamagedSaverTest, HeadersWithUnsafeNamesAndLyingKeys) { CheckAll(test::DamagedHeaders(media_, outside_)); }

TEST_F(DamagedSaverTest, ProjectsCutAtEveryItemOrLyingAboutSizes) { CheckAll(test::DamagedProjects(media_)); }

TEST_F(DamagedSaverTest, SoundsAndPicturesCutShortOrImpossible) { CheckAll(test::DamagedMedia(media_)); }

#endif  // _WIN32

}  // namespace
}  // namespace lumevra
