#include "support/TestFiles.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace lumevra::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("lumevra-test-" + std::to_string(rd()) + "-" +
                                 std::to_string(counter.fetch_add(1)));
    if (fs::create_directory(candidate)) {
      // The test's own, as a runtime folder is (tests use it as one).
      std::error_code ec;
      fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, ec);
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // Tests may have left the folder read-only; give it back before removing.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void WriteFile(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Int32Le(int32_t value) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i)
    s[i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
  return s;
}

namespace {

int RunOnce(const std::string& command, std::string& output) {
  output.clear();
#ifdef _WIN32
  // The commands quote paths the POSIX way; cmd.exe knows only double quotes.
  std::string line = command;
  std::replace(line.begin(), line.end(), '\'', '"');
  FILE* pipe = popen(line.c_str(), "r");
#else
  FILE* pipe = popen(command.c_str(), "r");
#endif
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
#ifdef _WIN32
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace

int RunCommand(const std::string& command, std::string& output) {
#ifdef _WIN32
  // 9009 is cmd.exe failing to start the program at all, which Wine does
  // now and then under load; the program itself never ran, so try again.
  int status = 0;
  for (int attempt = 0; attempt < 3; ++attempt)
    if ((status = RunOnce(command, output)) != 9009) break;
  return status;
#else
  return RunOnce(command, output);
#endif
}

}  // namespace lumevra::test
