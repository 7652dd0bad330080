#include "sound/Wave.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "sound/WaveBytes.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

using namespace test;

std::string Bytes(const Wave& wave) {
  return wave.Size() == 0 ? std::string() : std::string(reinterpret_cast<const char*>(wave.Data()), wave.Size());
}
std::string FormatBytes(const Wave& wave) { return std::string(wave.Format().begin(), wave.Format().end()); }

enum class Outcome { Loads, Invalid, ReadError };

struct WaveCase {
  const char* name;
  std::string file;
  Outcome outcome;
  std::string format;  // when it loads
  std::string data;
};

// Loads `bytes`; on an error checks the message and that the wave is empty.
void ExpectOutcome(const std::string& bytes, Outcome outcome, const std::string& format, const std::string& data) {
  std::istringstream in(bytes, std::ios::binary);
  Wave wave;
  switch (outcome) {
    case Outcome::Loads:
      ASSERT_NO_THROW(wave.LoadFromStream(in));
      EXPECT_EQ(FormatBytes(wave), format);
      EXPECT_EQ(wave.FormatSize(), static_cast<int32_t>(format.size()));
      EXPECT_EQ(wave.Size(), static_cast<int32_t>(data.size()));
      EXPECT_EQ(Bytes(wave), data);
      return;
    case Outcome::Invalid:
    case Outcome::ReadError:
      try {
        wave.LoadFromStream(in);
        ADD_FAILURE() << "loaded";
      } catch (const WaveError& e) {
        EXPECT_STREQ(e.what(), outcome == Outcome::Invalid ? "Wave is invalid" : "Stream read error");
      }
      EXPECT_EQ(wave.Size(), 0);
      EXPECT_EQ(wave.FormatSize(), 0);
      EXPECT_EQ(wave.Data(), nullptr);
      EXPECT_EQ(wave.Capacity(), 0u);
      return;
  }
}

std::vector<WaveCase> WaveCases() {
  const std::string fmt = PcmFormat();
  const std::string fmt18 = fmt + U16(0);
  const std::string data = Samples(100);
  const std::string plain = PcmWave(100);
  auto withRiffSize = [&](uint32_t size) { return plain.substr(0, 4) + U32(size) + plain.substr(8); };
  return {
      {"plain", plain, Outcome::Loads, fmt, data},
      {"riff size zero", withRiffSize(0), Outcome::Loads, fmt, data},
      {"riff size too small", withRiffSize(4), Outcome::Loads, fmt, data},
      {"riff size beyond the file", withRiffSize(0xFFFFFFFFu), Outcome::Loads, fmt, data},
      {"empty file", "", Outcome::Invalid, "", ""},
      {"header cut short", plain.substr(0, 11), Outcome::Invalid, "", ""},
      {"not RIFF", "RIFX" + plain.substr(4), Outcome::Invalid, "", ""},
      {"lower-case riff", "riff" + plain.substr(4), Outcome::Invalid, "", ""},
      {"not WAVE", Riff(Chunk("fmt ", fmt) + Chunk("data", data), "AVI "), Outcome::Invalid, "", ""},
      {"no chunks", Riff(""), Outcome::Loads, "", ""},
      {"no fmt", Riff(Chunk("data", data)), Outcome::Loads, "", data},
      {"no data", Riff(Chunk("fmt ", fmt)), Outcome::Loads, fmt, ""},
      {"zero-length data", Riff(Chunk("fmt ", fmt) + Chunk("data", "")), Outcome::Loads, fmt, ""},
      {"18-byte fmt", Riff(Chunk("fmt ", fmt18) + Chunk("data", data)), Outcome::Loads, fmt18, data},
      {"odd unknown chunk before fmt", Riff(Chunk("LIST", Samples(37, 5)) + Chunk("fmt ", fmt) + Chunk("data", data)),
       Outcome::Loads, fmt, data},
      {"chunk between fmt and data", Riff(Chunk("fmt ", fmt) + Chunk("fact", U32(50)) + Chunk("data", data)),
       Outcome::Loads, fmt, data},
      {"data before fmt", Riff(Chunk("data", data) + Chunk("fmt ", fmt)), Outcome::Loads, fmt, data},
      {"last fmt and data count",
       Riff(Chunk("fmt ", fmt18) + Chunk("data", Samples(9, 1)) + Chunk("fmt ", fmt) + Chunk("data", data)),
       Outcome::Loads, fmt, data},
      {"zero id ends the walk", Riff(Chunk("fmt ", fmt) + std::string(4, '\0') + U32(0) + Chunk("data", data)),
       Outcome::Loads, fmt, ""},
      {"unknown chunk running past the end", Riff(ChunkSized("junk", 0xFFFFFFFFu, "") + Chunk("fmt ", fmt)),
       Outcome::Loads, "", ""},
      {"trailing chunk running past the end",
       Riff(Chunk("fmt ", fmt) + Chunk("data", data) + ChunkSized("junk", 1000, "x")), Outcome::Loads, fmt, data},
      {"data one byte longer than the file", Riff(Chunk("fmt ", fmt) + ChunkSized("data", 101, data)),
       Outcome::ReadError, "", ""},
      {"data of 4 GiB in a small file", Riff(Chunk("fmt ", fmt) + ChunkSized("data", 0xFFFFFFFFu, data)),
       Outcome::ReadError, "", ""},
      {"fmt longer than the file", Riff(ChunkSized("fmt ", 17, fmt)), Outcome::ReadError, "", ""},
      {"fmt of 4 GiB in a small file", Riff(ChunkSized("fmt ", 0xFFFFFFFFu, fmt)), Outcome::ReadError, "", ""},
  };
}

TEST(Wave, LoadsWellFormedAndRejectsMalformedFiles) {
  for (const WaveCase& c : WaveCases()) {
    SCOPED_TRACE(c.name);
    ExpectOutcome(c.file, c.outcome, c.format, c.data);
  }
}

// A chunk of odd size is followed by one pad byte (zero) in a RIFF file;
// some writers leave it out. Both must load, wherever the odd chunk is.
TEST(Wave, OddChunksPaddedOrNot) {
  const std::string fmt = PcmFormat();
  const std::string data = Samples(100);
  const std::string odd = Samples(37, 5);
  const std::string oddData = Samples(101, 2);
  const std::string pad(1, '\0');
  struct Case {
    const char* name;
    std::string body;
    std::string data;
  };
  const Case cases[] = {
      {"odd chunk before fmt, padded", Chunk("LIST", odd) + pad + Chunk("fmt ", fmt) + Chunk("data", data), data},
      {"odd chunk before fmt, unpadded", Chunk("LIST", odd) + Chunk("fmt ", fmt) + Chunk("data", data), data},
      // Unpadded, the pad position reads "ata" and the size's low byte 100
      // ('d'): an id of letters, but a size from the samples beyond the file.
      {"odd chunk between fmt and data, padded", Chunk("fmt ", fmt) + Chunk("LIST", odd) + pad + Chunk("data", data),
       data},
      {"odd chunk between fmt and data, unpadded", Chunk("fmt ", fmt) + Chunk("LIST", odd) + Chunk("data", data), data},
      {"odd data before fmt, padded", Chunk("data", oddData) + pad + Chunk("fmt ", fmt), oddData},
      {"odd data before fmt, unpadded", Chunk("data", oddData) + Chunk("fmt ", fmt), oddData},
      {"odd data last, padded", Chunk("fmt ", fmt) + Chunk("data", oddData) + pad, oddData},
      {"odd data then another chunk, padded", Chunk("fmt ", fmt) + Chunk("data", oddData) + pad + Chunk("LIST", odd),
       oddData},
      {"two odd chunks before data, padded",
       Chunk("LIST", odd) + pad + Chunk("fmt ", fmt) + Chunk("junk", Samples(3)) + pad + Chunk("data", data), data},
      {"two odd chunks before data, unpadded",
       Chunk("LIST", odd) + Chunk("fmt ", fmt) + Chunk("junk", Samples(3)) + Chunk("data", data), data},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectOutcome(Riff(c.body), Outcome::Loads, fmt, c.data);
  }
}

// Every cut of a plain file: RIFF header (12), fmt header (8) + 16, data
// header (8) + 100. A cut inside a chunk's header leaves its rest zero.
TEST(Wave, FileCutAtEveryLength) {
  const std::string fmt = PcmFormat();
  const std::string data = Samples(100);
  const std::string plain = PcmWave(100);
  ASSERT_EQ(plain.size(), 144u);
  for (size_t cut = 0; cut <= plain.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const std::string bytes = plain.substr(0, cut);
    if (cut < 12) ExpectOutcome(bytes, Outcome::Invalid, "", "");
    else if (cut < 17) ExpectOutcome(bytes, Outcome::Loads, "", "");  // id or size 0: nothing read
    else if (cut < 36) ExpectOutcome(bytes, Outcome::ReadError, "", "");  // fmt promised 16 bytes
    else if (cut < 41) ExpectOutcome(bytes, Outcome::Loads, fmt, "");  // no data chunk (yet)
    else if (cut < 144) ExpectOutcome(bytes, Outcome::ReadError, "", "");  // data promised 100 bytes
    else ExpectOutcome(bytes, Outcome::Loads, fmt, data);
  }
}

TEST(Wave, ReadsFromTheStreamsCurrentPosition) {
  std::istringstream in("prefix" + PcmWave(20, 3) + "suffix", std::ios::binary);
  in.seekg(6);
  Wave wave;
  wave.LoadFromStream(in);
  EXPECT_EQ(FormatBytes(wave), PcmFormat());
  EXPECT_EQ(Bytes(wave), Samples(20, 3));
}

TEST(Wave, ErrorEmptiesAWaveThatHeldSound) {
  Wave wave;
  std::istringstream good(PcmWave(10), std::ios::binary);
  wave.LoadFromStream(good);
  ASSERT_EQ(wave.Size(), 10);
  std::istringstream bad("RIFF", std::ios::binary);
  EXPECT_THROW(wave.LoadFromStream(bad), WaveError);
  EXPECT_EQ(wave.Size(), 0);
  EXPECT_EQ(wave.FormatSize(), 0);
  EXPECT_EQ(wave.Data(), nullptr);
}

TEST(Wave, LoadFromFile) {
  TempFolder folder;
  WriteFile(folder / "a.wav", PcmWave(300));
  Wave wave;
  wave.LoadFromFile(folder / "a.wav");
  EXPECT_EQ(Bytes(wave), Samples(300));

  try {
    wave.LoadFromFile(folder / "missing.wav");
    ADD_FAILURE() << "loaded";
  } catch (const WaveError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + (folder / "missing.wav").string());
  }
  EXPECT_EQ(wave.Size(), 0);
  EXPECT_THROW(wave.LoadFromFile(folder.path()), WaveError);  // a folder is no wave
}

TEST(Wave, DataMemoryGrowsInWholeBlocksOf8096) {
  struct Case {
    size_t size;
    size_t capacity;
  };
  for (const Case c : {Case{0, 0}, Case{1, 8096}, Case{8096, 8096}, Case{8097, 16192}, Case{16192, 16192},
                       Case{16193, 24288}}) {
    SCOPED_TRACE(c.size);
    std::istringstream in(PcmWave(c.size), std::ios::binary);
    Wave wave;
    wave.LoadFromStream(in);
    EXPECT_EQ(wave.Capacity(), c.capacity);
    EXPECT_EQ(Bytes(wave), Samples(c.size));
  }
}

TEST(Wave, SetSizeReallocatesOnlyWhenTheBlockCountChanges) {
  Wave wave;
  wave.SetSize(10);
  const uint8_t* first = wave.Data();
  ASSERT_NE(first, nullptr);
  std::memset(const_cast<uint8_t*>(first), 0xAB, 10);
  wave.SetSize(8096);
  EXPECT_EQ(wave.Data(), first);
  EXPECT_EQ(wave.Capacity(), 8096u);
  EXPECT_EQ(wave.Data()[8095], 0) << "bytes gained are zero";
  wave.SetSize(1);
  EXPECT_EQ(wave.Data(), first);

  wave.SetSize(8097);
  EXPECT_EQ(wave.Capacity(), 16192u);
  EXPECT_EQ(wave.Data()[0], 0xAB) << "bytes kept across the move";
  wave.SetSize(5000);
  EXPECT_EQ(wave.Capacity(), 8096u);
  EXPECT_EQ(wave.Data()[0], 0xAB);

  wave.SetSize(0);
  EXPECT_EQ(wave.Data(), nullptr);
  EXPECT_EQ(wave.Capacity(), 0u);
  EXPECT_THROW(wave.SetSize(-1), WaveError);
}

TEST(WaveReader, OpensOnceAndReadsTheDataChunkInPieces) {
  const std::string bytes = Riff(Chunk("LIST", "abc") + Chunk("fmt ", PcmFormat()) + Chunk("data", Samples(10)));
  std::istringstream in(bytes, std::ios::binary);
  WaveReader stream(in);
  char buffer[16] = {};
  try {
    stream.Read(buffer, 4);
    ADD_FAILURE() << "read before Open";
  } catch (const WaveError& e) {
    EXPECT_STREQ(e.what(), "Stream not opend");
  }

  stream.Open();
  EXPECT_TRUE(stream.IsOpen());
  EXPECT_EQ(stream.Size(), 10);
  EXPECT_EQ(stream.DataOffset(), 12 + 11 + 24 + 8);
  try {
    stream.Open();
    ADD_FAILURE() << "opened twice";
  } catch (const WaveError& e) {
    EXPECT_STREQ(e.what(), "Stream has already been opened");
  }

  EXPECT_EQ(stream.Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), Samples(10).substr(0, 4));
  EXPECT_EQ(stream.Read(buffer, 16), 6u) << "stops at the chunk's end";
  EXPECT_EQ(std::string(buffer, 6), Samples(10).substr(4));
  EXPECT_EQ(stream.Read(buffer, 16), 0u);
}

}  // namespace
}  // namespace lumevra
