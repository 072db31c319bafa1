#include "platform/pe_version.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

namespace platform {
namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(REMEDOR_BINARY_DIR) + "/pe-fixtures/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Parses a copy held in a buffer of exactly its size, so that a read past the
// end is caught by the address sanitizer.
std::optional<VersionInfo> ReadExact(std::string_view bytes) {
  auto copy = std::make_unique<char[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return ReadPeVersionInfo(std::string_view(copy.get(), bytes.size()));
}

using Strings = std::vector<std::pair<std::string, std::string>>;

TEST(PeVersion, ReadsTheFirstTranslationsTableOfBothImageKinds) {
  for (const char* name : {"with_version.dll", "with_version32.dll"}) {
    SCOPED_TRACE(name);
    const auto info = ReadExact(Fixture(name));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->file_version, (std::array<std::uint16_t, 4>{1, 2, 3, 4}));
    using Pairs = std::vector<std::pair<std::uint16_t, std::uint16_t>>;
    EXPECT_EQ(info->translations, (Pairs{{0x040C, 1252}, {0x0409, 1200}}));
    EXPECT_EQ(info->strings, (Strings{{"CompanyName", "Société d'essai"},
                                      {"FileVersion", "1.2.3.4"},
                                      {"LegalCopyright", ""},
                                      {"ProductName", "Remedor fixture"}}));
    EXPECT_EQ(info->String("FileVersion"), "1.2.3.4");
  }
}

TEST(PeVersion, LibraryWithoutFileVersionString) {
  const auto info = ReadExact(Fixture("without_file_version.dll"));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->file_version, (std::array<std::uint16_t, 4>{5, 6, 7, 8}));
  EXPECT_EQ(info->String("FileVersion"), "");
  EXPECT_EQ(info->String("ProductVersion"), "5.6");
}

TEST(PeVersion, NoVersionResourceOrNoImage) {
  EXPECT_FALSE(ReadExact(Fixture("without_version.dll")));
  for (std::string_view bytes : {std::string_view(), std::string_view("MZ"),
                                 std::string_view("[CurrentVersions]\r\nRemedor.exe=8.37.0.0")}) {
    EXPECT_FALSE(ReadExact(bytes));
  }
}

// Every value read from a cut image is a beginning of the complete one.
TEST(PeVersion, TruncatedImageYieldsAPartOfTheResource) {
  const std::string image = Fixture("with_version.dll");
  const auto full = ReadExact(image);
  ASSERT_TRUE(full);
  bool some_partial = false;
  for (std::size_t size = 0; size < image.size(); ++size) {
    const auto cut = ReadExact(std::string_view(image).substr(0, size));
    if (!cut) continue;
    if (cut->file_version) {
      EXPECT_EQ(cut->file_version, full->file_version);
    }
    ASSERT_LE(cut->translations.size(), full->translations.size());
    EXPECT_TRUE(
        std::equal(cut->translations.begin(), cut->translations.end(), full->translations.begin()));
    ASSERT_LE(cut->strings.size(), full->strings.size()) << size;
    for (std::size_t i = 0; i < cut->strings.size(); ++i) {
      EXPECT_TRUE(full->strings[i].first.starts_with(cut->strings[i].first)) << size;
      EXPECT_TRUE(full->strings[i].second.starts_with(cut->strings[i].second)) << size;
    }
    some_partial = some_partial || cut->strings.size() < full->strings.size();
  }
  EXPECT_TRUE(some_partial);
}

std::size_t VersionBlockOffset(const std::string& image) {
  const std::u16string key = u"VS_VERSION_INFO";
  const std::string key_bytes(reinterpret_cast<const char*>(key.data()), key.size() * 2);
  const std::size_t at = image.find(key_bytes);
  EXPECT_NE(at, std::string::npos);
  return at - 6;
}

void Put16(std::string& image, std::size_t offset, std::uint16_t value) {
  image[offset] = static_cast<char>(value & 0xFF);
  image[offset + 1] = static_cast<char>(value >> 8);
}

TEST(PeVersion, LyingLengthsStayInBounds) {
  const std::string image = Fixture("with_version.dll");
  const std::size_t block = VersionBlockOffset(image);
  struct Case {
    const char* what;
    std::size_t offset;  // from the version block
    std::uint16_t value;
    bool file_version;
    std::size_t translations, strings;
  } cases[] = {
      {"root longer than the file", 0, 0xFFFF, true, 2, 4},
      {"root too short for its header", 0, 4, false, 0, 0},
      {"fixed info longer than the root", 2, 0xFFFF, true, 0, 0},
      {"first child of zero length", 0x5C, 0, true, 0, 0},
      {"first child longer than the root", 0x5C, 0xFFF0, true, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string lying = image;
    Put16(lying, block + c.offset, c.value);
    const auto info = ReadExact(lying);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->file_version.has_value(), c.file_version);
    EXPECT_EQ(info->translations.size(), c.translations);
    EXPECT_EQ(info->strings.size(), c.strings);
  }
  // Every byte of the block and of the headers, replaced in turn.
  for (std::size_t i = 0; i < image.size(); ++i) {
    if (i >= 0x400 && (i < block || i >= block + 0x2C8)) continue;
    for (char value : {'\0', '\x7F', '\xFF'}) {
      std::string mutated = image;
      mutated[i] = value;
      (void)ReadExact(mutated);
    }
  }
}

}  // namespace
}  // namespace platform
