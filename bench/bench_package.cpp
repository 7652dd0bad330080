// The marker search over a program image, against plainly reading the same
// file: the ratio shows what the search costs beyond the I/O. And loading
// the most objects a project holds from a large objects text, against
// parsing that text once: loading must stay a small multiple of one parse.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "authoring/PackageWriter.h"
#include "base/Ini.h"
#include "objects/ObjectList.h"
#include "package/PackageExtractor.h"

namespace {

namespace fs = std::filesystem;

const fs::path& ImageFile() {
  static const fs::path file = [] {
    fs::path f = fs::temp_directory_path() / "lumevra-bench-image.scr";
    std::ofstream out(f, std::ios::binary | std::ios::trunc);
    // 8 MiB of code-like bytes, with stray first-marker bytes sprinkled in.
    std::vector<char> image(8 << 20);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 2654435761u) >> 13);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    lumevra::PackageWriter w;
    w.AddBytes("[Header]\r\nResCount=1\r\nRes0=KAHeader.dat\r\n");
    w.Write(out);
    return f;
  }();
  return file;
}

void BM_FindPackage(benchmark::State& state) {
  const fs::path& file = ImageFile();
  for (auto _ : state) benchmark::DoNotOptimize(lumevra::FindPackage(file));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(file)));
}

void BM_ReadWholeFile(benchmark::State& state) {
  const fs::path& file = ImageFile();
  std::vector<char> buffer(1001);
  for (auto _ : state) {
    std::ifstream in(file, std::ios::binary);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
      benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(file)));
}

// 101 text objects with about a kilobyte of keys each.
const std::string& ObjectsText() {
  static const std::string text = [] {
    std::string t;
    for (int i = 0; i <= lumevra::kLastObjectSection; ++i) {
      t += "[Obj" + std::to_string(i) + "]\r\nObjType=TXT\r\nText=object " + std::to_string(i) + "\r\n";
      for (int k = 0; k < 40; ++k) t += "Extra" + std::to_string(k) + "=some value here\r\n";
    }
    return t;
  }();
  return text;
}

void BM_ParseObjectsTextOnce(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(lumevra::Ini(ObjectsText()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ObjectsText().size()));
}

void BM_LoadObjects(benchmark::State& state) {
  lumevra::ObjectList list;
  for (auto _ : state) list.LoadObjects(ObjectsText());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ObjectsText().size()));
}

BENCHMARK(BM_FindPackage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseObjectsTextOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadObjects)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
