#include "archive/sevenzip_streams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "archive/archive_fixture.h"
#include "archive/item_path.h"
#include "platform/posix/faults.h"

namespace archive {
namespace {

using testing::ArchiveFixture;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class StreamTest : public ArchiveFixture {
 protected:
  void Put(const std::string& windows_path, const std::string& bytes) {
    std::ofstream(Host(windows_path), std::ios::binary) << bytes;
  }
  com::ComPtr<TMyStreamReader> Reader(const std::string& name, bool volumes = true) {
    return com::MakeObject<TMyStreamReader>(*zip, name, volumes);
  }
  // Reads everything from the position to the end, as the library would.
  static std::string ReadRest(TMyStreamReader& reader, std::uint32_t chunk = 7) {
    std::string bytes;
    std::string buffer(chunk, '\0');
    for (;;) {
      std::uint32_t got = 0;
      if (reader.Read(buffer.data(), chunk, &got) != com::kOk || got == 0) return bytes;
      bytes.append(buffer.data(), got);
    }
  }
};

TEST_F(StreamTest, SeekAndReadOnOneFile) {
  Put("C:\\in\\one.7z", "0123456789abcdefghij");
  for (const bool volumes : {false, true}) {
    auto reader = Reader("C:\\in\\one.7z", volumes);
    std::uint64_t position = 99;
    EXPECT_EQ(reader->Seek(10, 0, &position), com::kOk);
    EXPECT_EQ(position, 10u);
    char bytes[4];
    std::uint32_t got = 0;
    EXPECT_EQ(reader->Read(bytes, 4, &got), com::kOk);
    EXPECT_EQ(std::string(bytes, got), "abcd");
    EXPECT_EQ(reader->Seek(-2, 1, &position), com::kOk);
    EXPECT_EQ(position, 12u);
    // The library asks for the size at open: the archive's own size.
    std::uint64_t size = 0;
    EXPECT_EQ(reader->GetSize(&size), com::kOk);
    EXPECT_EQ(size, 20u);
    EXPECT_EQ(reader->Seek(-3, 2, &position), com::kOk);
    EXPECT_EQ(position, 17u);
    EXPECT_EQ(ReadRest(*reader), "hij");
    EXPECT_NE(reader->Seek(-1, 0, &position), com::kOk);
    EXPECT_EQ(position, 17u);
  }
  EXPECT_THAT(ui.requests, IsEmpty());
}

TEST_F(StreamTest, ReadsRunOnThroughNumberedVolumes) {
  Put("C:\\in\\set.7z.001", "first-");
  Put("C:\\in\\set.7z.002", "second-");
  Put("C:\\in\\set.7z.003", "third");
  Put("C:\\in\\set.7z.005", "after a gap");
  auto reader = Reader("C:\\in\\set.7z.001");
  std::uint64_t size = 0;
  EXPECT_EQ(reader->GetSize(&size), com::kOk);
  EXPECT_EQ(size, 18u);
  EXPECT_EQ(ReadRest(*reader), "first-second-third");
  std::uint64_t position = 0;
  EXPECT_EQ(reader->Seek(4, 0, &position), com::kOk);
  EXPECT_EQ(ReadRest(*reader, 100), "t-second-third");

  // Without a size request first, the read past the first file finds them too.
  auto fresh = Reader("C:\\in\\set.7z.001");
  EXPECT_EQ(ReadRest(*fresh, 4), "first-second-third");
  EXPECT_THAT(ui.requests, IsEmpty());
}

TEST_F(StreamTest, ArchiveWithoutNumberAsksForItsLastVolume) {
  Put("C:\\in\\set.7z", "first-");
  Put("C:\\in\\set.002", "second-");
  Put("C:\\in\\set.003", "third");
  Put("C:\\in\\other.003", "not ours");
  // The dialog: a file of another set is refused and asked again.
  ui.answers = {"C:\\in\\other.003", "C:\\in\\set.003"};
  auto reader = Reader("C:\\in\\set.7z");
  EXPECT_EQ(ReadRest(*reader), "first-second-third");
  std::uint64_t size = 0;
  EXPECT_EQ(reader->GetSize(&size), com::kOk);
  EXPECT_EQ(size, 18u);
  ASSERT_EQ(ui.requests.size(), 2u);
  EXPECT_EQ(ui.requests[0].initial_folder, "C:\\in");
  EXPECT_EQ(ui.requests[0].filter_title, "set-volumes");
  EXPECT_EQ(ui.requests[0].filter_pattern, "set.*");

  // The event, when set, is asked instead; cancelling fails the read.
  std::vector<std::string> asked;
  zip->OnOpenVolume = [&](std::string& name, bool removable, bool& cancel) {
    asked.push_back(name);
    EXPECT_FALSE(removable);
    cancel = asked.size() > 1;
    name = "C:\\in\\set.003";
  };
  auto evented = Reader("C:\\in\\set.7z");
  EXPECT_EQ(ReadRest(*evented), "first-second-third");
  auto cancelled = Reader("C:\\in\\set.7z");
  char bytes[10];
  std::uint32_t got = 99;
  EXPECT_EQ(cancelled->Read(bytes, sizeof bytes, &got), com::kFalse);
  EXPECT_EQ(got, 0u);
  EXPECT_THAT(asked, ElementsAre("C:\\in\\set.002", "C:\\in\\set.002"));
  EXPECT_EQ(ui.requests.size(), 2u);

  // Once its size was given, the archive stays alone: nothing is asked.
  auto measured = Reader("C:\\in\\set.7z");
  EXPECT_EQ(measured->GetSize(&size), com::kOk);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(ReadRest(*measured), "first-");
  EXPECT_EQ(asked.size(), 2u);
}

TEST_F(StreamTest, VolumeThatCannotBeOpenedIsAskedFor) {
  Put("C:\\in\\set.001", "first-");
  Put("C:\\in\\set.002", "second");
  Put("C:\\in\\copy.002", "SECOND");
  std::vector<std::string> asked;
  zip->OnOpenVolume = [&](std::string& name, bool, bool&) {
    asked.push_back(name);
    name = "C:\\in\\copy.002";
  };
  auto reader = Reader("C:\\in\\set.001");
  const platform::posix::ScopedFault fault(
      files->faults(), platform::posix::FaultOperation::kCreateFile, 1);  // set.002's opening
  EXPECT_EQ(ReadRest(*reader), "first-SECOND");
  EXPECT_THAT(asked, ElementsAre("C:\\in\\set.002"));
}

TEST_F(StreamTest, FailedReadAnswersFailureAndRecordsTheError) {
  Put("C:\\in\\one.7z", "0123456789");
  {
    auto reader = Reader("C:\\in\\one.7z", false);
    const platform::posix::ScopedFault fault(files->faults(),
                                             platform::posix::FaultOperation::kReadFile, 1);
    char bytes[4];
    std::uint32_t got = 99;
    EXPECT_EQ(reader->Read(bytes, 4, &got), com::kFalse);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(zip->LastSystemError, 0u);  // handed over when the stream goes
    EXPECT_EQ(reader->Read(bytes, 4, &got), com::kOk);
    EXPECT_EQ(std::string(bytes, got), "0123");
  }
  EXPECT_NE(zip->LastSystemError, 0u);

  // A missing archive never reads as an empty one.
  zip->LastSystemError = 0;
  {
    auto missing = Reader("C:\\in\\missing.7z");
    char byte;
    std::uint32_t got = 99;
    EXPECT_EQ(missing->Read(&byte, 1, &got), com::kFalse);
    EXPECT_EQ(got, 0u);
    std::uint64_t size = 0;
    EXPECT_EQ(missing->GetSize(&size), com::kFalse);
  }
  EXPECT_EQ(zip->LastSystemError, 2u);
}

TEST_F(StreamTest, FailedReadThroughTheLibrary) {
  Source("a.txt", std::string(100'000, 'a'));
  SevenZipCommand("a ../in/one.7z a.txt");
  zip->SZFileName = "C:\\in\\one.7z";
  zip->ExtrBaseDir = "C:\\out";
  const platform::posix::ScopedFault fault(files->faults(),
                                           platform::posix::FaultOperation::kReadFile);
  EXPECT_EQ(zip->Extract(false), -1);
  EXPECT_EQ(zip->LastError, kFileNotFound);
  EXPECT_NE(zip->LastSystemError, 0u);
  EXPECT_FALSE(Exists("C:\\out\\a.txt"));
}

TEST_F(StreamTest, WriterKeepsItsHighestPositionAndTheItemTime) {
  std::uint32_t error = 0;
  const platform::FileTime time = 132'000'000'015'000'000;  // an odd second and a half
  {
    auto writer = TMyStreamWriter::Create(*files, "C:\\out\\w.bin", 0, time, error);
    ASSERT_TRUE(writer.ok());
    std::uint32_t done = 0;
    const std::string hundred(100, 'x');
    EXPECT_EQ((*writer)->Write(hundred.data(), 100, &done), com::kOk);
    EXPECT_EQ(done, 100u);
    std::uint64_t position = 0;
    EXPECT_EQ((*writer)->Seek(20, 0, &position), com::kOk);
    EXPECT_EQ((*writer)->Write("0123456789", 10, &done), com::kOk);
    EXPECT_EQ((*writer)->Seek(0, 2, &position), com::kOk);
    EXPECT_EQ(position, 100u);
    EXPECT_EQ((*writer)->SetSize(5), com::kFalse);
    const platform::posix::ScopedFault fault(files->faults(),
                                             platform::posix::FaultOperation::kWriteFile, 1);
    EXPECT_EQ((*writer)->Write("y", 1, &done), com::kFalse);
    EXPECT_EQ(done, 0u);
  }
  EXPECT_NE(error, 0u);
  const std::string bytes = Read("C:\\out\\w.bin");
  EXPECT_EQ(bytes, std::string(20, 'x') + "0123456789" + std::string(70, 'x'));
  struct stat st {};
  ASSERT_EQ(::stat(Host("C:\\out\\w.bin").c_str(), &st), 0);
  const std::uint64_t expected = ToTwoSecondResolution(time);
  EXPECT_EQ(expected, 132'000'000'000'000'000u);
  EXPECT_EQ(static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 10'000'000 + st.st_mtim.tv_nsec / 100 +
                116'444'736'000'000'000u,
            expected);

  const platform::posix::ScopedFault fault(files->faults(),
                                           platform::posix::FaultOperation::kCreateFile, 1);
  auto refused = TMyStreamWriter::Create(*files, "C:\\out\\x.bin", 0, std::nullopt, error);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().os_error, 5u);
}

TEST(ItemPath, WhatMayBeExtracted) {
  struct Case {
    const char* item;
    std::optional<std::string> relative;
  };
  const Case cases[] = {
      {"a.txt", "a.txt"},
      {"sub/b.txt", "sub\\b.txt"},
      {"sub\\.\\b.txt", "sub\\b.txt"},
      {"a..b", "a..b"},
      {"..", std::nullopt},
      {"../a.txt", std::nullopt},
      {"sub\\..\\..\\a.txt", std::nullopt},
      {"sub/.../a.txt", std::nullopt},
      {"sub/.. /a.txt", std::nullopt},
      {"/etc/passwd", std::nullopt},
      {"\\Windows\\a.dll", std::nullopt},
      {"C:\\a.txt", std::nullopt},
      {"C:a.txt", std::nullopt},
      {"a.txt:stream", std::nullopt},
      {"", std::nullopt},
      {"./", std::nullopt},
      {"CON", std::nullopt},
      {"sub/Aux.dll", std::nullopt},
      {"nul\\a.txt", std::nullopt},
      {"com1.tar.gz", std::nullopt},
      {"CONSOLE.txt", "CONSOLE.txt"},
      {"COM10", "COM10"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SafeRelativePath(c.item), c.relative) << c.item;
  }
  EXPECT_EQ(LastComponent("sub\\dir/name.txt"), "name.txt");
  EXPECT_EQ(LastComponent("C:name.txt"), "name.txt");
}

TEST(ItemPath, LinksAreToldByTheirAttributes) {
  EXPECT_TRUE(IsSymbolicLink(0x400));
  EXPECT_TRUE(IsSymbolicLink(0x8000 | (0120777u << 16)));
  EXPECT_FALSE(IsSymbolicLink(0x8000 | (0100644u << 16) | 0x20));
  EXPECT_FALSE(IsSymbolicLink(0120777u << 16));  // no POSIX mode without its marker
  EXPECT_FALSE(IsSymbolicLink(0x10));
}

TEST(ItemPath, APlainFileNameIsOneWindowsKeepsAsItIs) {
  for (const char* plain : {"qdm.ini", "notes.txt", "a b.txt", "CONFIG.7z", "console.txt",
                            "COM10.txt", "LPT.txt", "nul_.txt", ".hidden", "Ré.txt"}) {
    EXPECT_TRUE(IsPlainFileName(plain)) << plain;
  }
  for (const char* refused :
       {"",           "*",           "*.*",      "qdm?.ini", "a<b",        "a>b",
        "a:b",        "a\"b",        "a|b",      "sub\\x",   "sub/x",      "tab\tname",
        "line\nname", "qdm.ini.",    "qdm.ini ", ".",        "..",         "CON",
        "con",        "Con.txt",     "PRN.ini",  "AUX",      "NUL.tar.gz", "nul .txt",
        "COM1",       "com9.dat",    "LPT1",     "lpt9.txt", "COM\u00B9",  "LPT\u00B3.txt",
        "CONIN$",     "conout$.txt", "COM0",     "lpt0.txt"}) {
    EXPECT_FALSE(IsPlainFileName(refused)) << refused;
  }
  EXPECT_TRUE(IsPlainFileName(std::string(255, 'a')));
  EXPECT_FALSE(IsPlainFileName(std::string(256, 'a')));
}

}  // namespace
}  // namespace archive
