#include <gtest/gtest.h>

#include <fstream>

#include "authoring/PackageWriter.h"
#include "package/PackageExtractor.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

using test::Int32Le;

TEST(FindPackage, FindsTheMarkerWhereverItStands) {
  test::TempFolder dir;
  const std::string marker = PackageWriter::StoredMarker();
  // Offsets around the 1001-byte read chunks, so the marker straddles a boundary.
  for (size_t lead : {size_t{0}, size_t{1}, size_t{990}, size_t{995}, size_t{1000}, size_t{1001},
                      size_t{2000}, size_t{5000}}) {
    const std::string bytes = std::string(lead, 'x') + marker + Int32Le(3) + "rest";
    test::WriteFile(dir / "f.bin", bytes);
    const auto found = FindPackage(dir / "f.bin");
    ASSERT_TRUE(found) << "lead " << lead;
    EXPECT_EQ(found->offset, static_cast<int64_t>(lead + 13)) << "lead " << lead;
    EXPECT_EQ(found->count, 3);
  }
}

TEST(FindPackage, RestartsAfterAPartialMarker) {
  test::TempFolder dir;
  const std::string marker = PackageWriter::StoredMarker();
  // "{KARES" then the full marker: the match restarts on the marker's first byte.
  const std::string bytes = "ab" + marker.substr(0, 6) + marker + Int32Le(2);
  test::WriteFile(dir / "f.bin", bytes);
  const auto found = FindPackage(dir / "f.bin");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->offset, 2 + 6 + 13);
  EXPECT_EQ(found->count, 2);

  // The first of several markers wins.
  test::WriteFile(dir / "g.bin", marker + Int32Le(1) + marker + Int32Le(9));
  EXPECT_EQ(FindPackage(dir / "g.bin")->count, 1);
}

TEST(FindPackage, ReportsNotFound) {
  test::TempFolder dir;
  test::WriteFile(dir / "plain.bin", "some {KARESROURCE} text");
  EXPECT_FALSE(FindPackage(dir / "plain.bin"));
  test::WriteFile(dir / "partial.bin", PackageWriter::StoredMarker().substr(0, 12));
  EXPECT_FALSE(FindPackage(dir / "partial.bin"));
  test::WriteFile(dir / "empty.bin", "");
  EXPECT_FALSE(FindPackage(dir / "empty.bin"));
  EXPECT_FALSE(FindPackage(dir / "missing.bin"));
  EXPECT_FALSE(FindPackage(dir.path()));  // a folder is no package
}

TEST(FindPackage, MarkerAtTheVeryEndHasNoEntries) {
  test::TempFolder dir;
  test::WriteFile(dir / "f.bin", "xx" + PackageWriter::StoredMarker() + "\x05");
  const auto found = FindPackage(dir / "f.bin");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->offset, 15);
  EXPECT_EQ(found->count, 0);
}

}  // namespace
}  // namespace lumevra

namespace lumevra {
namespace {

// A package past 2 GiB: every offset is 64-bit. The file is sparse, so it
// costs no disk, only the time to scan it.
TEST(FindPackage, PackagePastTwoGigabytes) {
  test::TempFolder dir;
  const auto lead = (int64_t{1} << 31) + 4099;
  {
    std::ofstream out(dir / "big.scr", std::ios::binary);
    out.seekp(lead);
    PackageWriter w;
    w.AddBytes("[Header]\r\nResCount=2\r\nRes0=KAHeader.dat\r\nRes1=p.kap\r\n");
    w.AddBytes("project");
    w.Write(out);
  }
  const auto found = FindPackage(dir / "big.scr");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->offset, lead + 13);
  ExtractPackage(dir / "big.scr", {std::filesystem::path(), dir / "p.kap"});
  EXPECT_EQ(test::ReadFile(dir / "p.kap"), "project");
}

}  // namespace
}  // namespace lumevra
