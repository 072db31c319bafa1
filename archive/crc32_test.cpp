#include "archive/crc32.h"

#include <gtest/gtest.h>

#include "archive/archive_fixture.h"

namespace archive {
namespace {

class Crc32Test : public testing::ArchiveFixture {};

TEST_F(Crc32Test, AgreesWithTheCheckValueAndWithTheCrcTheArchiveStores) {
  EXPECT_EQ(UpdateCrc32(0, "123456789"), 0xCBF43926u);  // the CRC-32 check value
  EXPECT_EQ(UpdateCrc32(UpdateCrc32(0, "1234"), "56789"), 0xCBF43926u);

  // Larger than one read piece, so the file is read in several.
  std::string content(200'000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  Source("big.bin", content);
  Source("empty.bin", "");
  SevenZipCommand("a ../in/a.7z big.bin empty.bin");
  zip->SZFileName = "C:\\in\\a.7z";
  const auto items = zip->ListItems();
  ASSERT_TRUE(items);
  ASSERT_EQ(items->size(), 2u);
  for (const TSevenZip::Item& item : *items) {
    if (item.path == "big.bin") {
      EXPECT_TRUE(item.has_crc);
      EXPECT_EQ(FileCrc32(*files, "C:\\src\\big.bin"), item.crc);
    } else {
      EXPECT_FALSE(item.has_crc);  // an empty file has no stored CRC
      EXPECT_EQ(FileCrc32(*files, "C:\\src\\empty.bin"), 0u);
    }
  }
  EXPECT_EQ(FileCrc32(*files, "C:\\src\\missing.bin"), std::nullopt);
}

}  // namespace
}  // namespace archive
