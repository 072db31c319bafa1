#include "archive/MD5Api.h"

#include <gtest/gtest.h>

#include <string>

#include "archive/archive_fixture.h"
#include "platform/posix/faults.h"

namespace archive {
namespace {

std::string Digest(std::string_view text) {
  auto engine = platform::NewMd5Engine();
  engine->Update(text.data(), text.size());
  return DigestToHex(engine->Finish());
}

TEST(Md5, Rfc1321TestSuite) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, digest] : cases) EXPECT_EQ(Digest(text), digest) << text;
}

class FileDigestTest : public testing::ArchiveFixture {};

TEST_F(FileDigestTest, DigestOfTheWholeFile) {
  std::ofstream(Host("C:\\in\\abc.7z"), std::ios::binary) << "abc";
  EXPECT_EQ(FileDigest(*files, "C:\\in\\abc.7z"), "900150983cd24fb0d6963f7d28e17f72");
  // Larger than one read: the chunks add up to the digest of the whole.
  std::string big(9 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 + (i >> 13));
  std::ofstream(Host("C:\\in\\big.7z"), std::ios::binary) << big;
  EXPECT_EQ(FileDigest(*files, "C:\\in\\big.7z"), Digest(big));
}

TEST_F(FileDigestTest, MissingAndUnreadableFiles) {
  EXPECT_EQ(FileDigest(*files, "C:\\in\\none.7z"), "");
  // A folder exists but cannot be opened as a file.
  EXPECT_EQ(FileDigest(*files, "C:\\in"), "d41d8cd98f00b204e9800998ecf8427e");
  std::ofstream(Host("C:\\in\\abc.7z"), std::ios::binary) << std::string(10 << 20, 'x');
  using platform::posix::FaultOperation;
  // The opening, or the second read (the first chunk read).
  for (const auto& [operation, nth] :
       {std::pair{FaultOperation::kCreateFile, 1}, std::pair{FaultOperation::kReadFile, 2}}) {
    SCOPED_TRACE(platform::posix::FaultName(operation));
    const platform::posix::ScopedFault fault(files->faults(), operation, nth);
    EXPECT_EQ(FileDigest(*files, "C:\\in\\abc.7z"), "d41d8cd98f00b204e9800998ecf8427e");
  }
}

}  // namespace
}  // namespace archive
