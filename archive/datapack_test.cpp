#include "archive/datapack.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/archive_fixture.h"

namespace archive {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class DataPackTest : public testing::ArchiveFixture {
 protected:
  void SetUp() override {
    ArchiveFixture::SetUp();
    std::filesystem::create_directories(Host("C:\\Game\\QUORVEL"));
    std::filesystem::create_directories(Host("C:\\Tool"));
  }
};

TEST_F(DataPackTest, ExtractsEverythingIntoTheOwnFolderOverwriting) {
  Source("qdm.ini", "[MD5]\r\nXYZ.7z=abc\r\n");
  Source("notes.txt", "new");
  SevenZipCommand("a -pKq7Lm2Xw@Zt9Rb4N%c3P -mhe=on ../Game/QUORVEL/qdm.7z qdm.ini notes.txt");
  std::ofstream(Host("C:\\Tool\\notes.txt")) << "old";
  std::vector<std::string> seen;
  zip->OnSetExtractName = [&](TSevenZip&, std::uint32_t, std::string& name) {
    seen.push_back(name);
  };
  const auto written = ExtractDataPack(*zip, "C:\\Game\\", "C:\\Tool\\");
  EXPECT_THAT(written, UnorderedElementsAre("qdm.ini", "notes.txt"));
  EXPECT_EQ(Read("C:\\Tool\\qdm.ini"), "[MD5]\r\nXYZ.7z=abc\r\n");
  EXPECT_EQ(Read("C:\\Tool\\notes.txt"), "new");
  EXPECT_EQ(seen.size(), 2u);  // a handler of the window's still hears of each item
}

// On Windows "CON" would open the console, and the extraction would stop
// before the digest list: every checked file would then read as corrupt.
TEST_F(DataPackTest, ItemsNamedLikeDevicesAreSkippedAndTheRestComesOut) {
  Source("CON", "console");
  Source("aux.ini", "aux");
  Source("qdm.ini", "[MD5]\r\nXYZ.7z=abc\r\n");
  SevenZipCommand("a -pKq7Lm2Xw@Zt9Rb4N%c3P -mhe=on ../Game/QUORVEL/qdm.7z CON aux.ini qdm.ini");
  EXPECT_THAT(ExtractDataPack(*zip, "C:\\Game\\", "C:\\Tool\\"), ElementsAre("qdm.ini"));
  EXPECT_EQ(Read("C:\\Tool\\qdm.ini"), "[MD5]\r\nXYZ.7z=abc\r\n");
  EXPECT_FALSE(Exists("C:\\Tool\\CON"));
  EXPECT_FALSE(Exists("C:\\Tool\\aux.ini"));
}

TEST_F(DataPackTest, MissingOrWrongDataPackIsSilent) {
  EXPECT_THAT(ExtractDataPack(*zip, "C:\\Game\\", "C:\\Tool\\"), ElementsAre());
  Source("qdm.ini", "x");
  SevenZipCommand("a -pOther -mhe=on ../Game/QUORVEL/qdm.7z qdm.ini");
  EXPECT_THAT(ExtractDataPack(*zip, "C:\\Game\\", "C:\\Tool\\"), ElementsAre());
  EXPECT_FALSE(Exists("C:\\Tool\\qdm.ini"));
}

}  // namespace
}  // namespace archive
