// The runtime must never carry the stored form of its own marker, or the
// search would find the program's code instead of its package.
#include <gtest/gtest.h>

#include "authoring/PackageWriter.h"
#include "package/PackageExtractor.h"
#include "support/TestFiles.h"

namespace lumevra {
namespace {

TEST(BinaryMarker, BuiltProgramsHoldOnlyThePlainForm) {
  const std::string stored = PackageWriter::StoredMarker();
  for (const char* binary : {LUMEVRA_STANDALONESCR, LUMEVRA_SCRTOOL}) {
    SCOPED_TRACE(binary);
    const std::string image = test::ReadFile(binary);
    EXPECT_EQ(image.find(stored), std::string::npos);
    EXPECT_FALSE(FindPackage(binary));
  }
}

}  // namespace
}  // namespace lumevra
