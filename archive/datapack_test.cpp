#include "archive/datapack.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/archive_fixture.h"
#include "archive/item_path.h"

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
  const auto created = ExtractDataPack(*zip, "C:\\Game\\", "C:\\Tool\\");
  // notes.txt was there before: replaced, but the player's, never deleted.
  EXPECT_THAT(created, ElementsAre("qdm.ini"));
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

// sh's single quotes around any text.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

TEST_F(DataPackTest, OnlyPlainFileNamesWithinTheBoundAreExtracted) {
  // Stored names the tool must not write: a pattern, devices, a folder part,
  // reserved characters, a trailing dot or blank, a control character.
  const std::vector<std::string> hostile = {"*",         "CON",    "aux.txt", "nul .ini", "COM1.7z",
                                            "LPT9",      "sub\\x", "a|b.txt", "qdm.ini.", "x?.ini",
                                            "tab\tname", "trail ", "a<b>.txt"};
  std::string add =
      "a -pKq7Lm2Xw@Zt9Rb4N%c3P -mhe=on ../Game/QUORVEL/qdm.7z qdm.ini new.txt "
      "player.txt big";
  std::string rename = "rn -pKq7Lm2Xw@Zt9Rb4N%c3P ../Game/QUORVEL/qdm.7z";
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    Source("item" + std::to_string(i), "hostile");
    add += " item" + std::to_string(i);
    rename += " item" + std::to_string(i) + " " + Quoted(hostile[i]);
  }
  Source("qdm.ini", "[MD5]\r\n");
  Source("new.txt", "new");
  Source("player.txt", "from the pack");
  Source("big", std::string(kDataPackItemLimit + 1, '\0'));
  SevenZipCommand(add);
  SevenZipCommand(rename);
  std::ofstream(Host("C:\\Tool\\player.txt")) << "the player's";

  const auto created = ExtractDataPack(*zip, "C:\\Game\\", "C:\\Tool\\");
  EXPECT_THAT(created, UnorderedElementsAre("qdm.ini", "new.txt"));
  std::vector<std::string> in_folder;
  for (const auto& entry : std::filesystem::directory_iterator(Host("C:\\Tool"))) {
    in_folder.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(in_folder, UnorderedElementsAre("qdm.ini", "new.txt", "player.txt"));
  EXPECT_EQ(Read("C:\\Tool\\player.txt"), "from the pack");
  EXPECT_FALSE(zip->accept_item);  // the component is left as it was
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
