#include "archive/SevenZip.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdexcept>

#include "archive/archive_fixture.h"
#include "archive/sevenzip_callbacks.h"
#include "platform/codepage.h"

namespace archive {
namespace {

using testing::ArchiveFixture;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SevenZipTest : public ArchiveFixture {
 protected:
  // C:\in\NAME.7z holding a.txt and sub\b.txt, made with the extra switches.
  void MakeArchive(const std::string& name, const std::string& switches = "") {
    Source("a.txt", "alpha");
    Source("sub/b.txt", "bravo");
    SevenZipCommand("a " + switches + " ../in/" + name + " a.txt sub");
  }
  int ExtractInto(const std::string& archive, const std::string& target) {
    zip->SZFileName = archive;
    zip->ExtrBaseDir = target;
    return zip->Extract(false);
  }
};

TEST_F(SevenZipTest, ExtractsEveryItemOfAnArchiveWithEncryptedHeaders) {
  MakeArchive("enc.7z", "-pSecret -mhe=on");
  zip->Password = "Secret";
  zip->ExtractOptions.ExtractOverwrite = true;
  std::int64_t pre_progress = -1;
  zip->OnPreProgress = [&](TSevenZip&, std::int64_t total) { pre_progress = total; };
  for (const std::string target : {"C:\\out", "C:\\out\\"}) {
    SCOPED_TRACE(target);
    std::filesystem::remove_all(Host("C:\\out\\sub"));
    EXPECT_EQ(ExtractInto("C:\\in\\enc.7z", target), 0);
    EXPECT_EQ(zip->LastError, kSuccess);
    EXPECT_EQ(Read("C:\\out\\a.txt"), "alpha");
    EXPECT_EQ(Read("C:\\out\\sub\\b.txt"), "bravo");
  }
  EXPECT_EQ(pre_progress, 10);
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(SevenZipTest, ExtractedFileCarriesTheItemTimeAtTwoSecondResolution) {
  MakeArchive("plain.7z");
  struct stat before {};
  ASSERT_EQ(::stat((root() / "drive_c/src/a.txt").c_str(), &before), 0);
  // 2021-03-04 05:06:07.5 UTC.
  const timespec times[2] = {{1614834367, 500'000'000}, {1614834367, 500'000'000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (root() / "drive_c/src/a.txt").c_str(), times, 0), 0);
  SevenZipCommand("a ../in/timed.7z a.txt");
  ASSERT_EQ(ExtractInto("C:\\in\\timed.7z", "C:\\out"), 0);
  struct stat after {};
  ASSERT_EQ(::stat(Host("C:\\out\\a.txt").c_str(), &after), 0);
  EXPECT_EQ(after.st_mtim.tv_sec, 1614834366);
  EXPECT_EQ(after.st_mtim.tv_nsec, 0);
}

// An archive made by "7z a -pSecret" (a.txt "alpha", sub\b.txt "bravo") whose
// salt makes the key of the password "Wrong" decode its data into a CRC
// failure rather than be refused at once.
constexpr char kWrongPasswordDecodes[] =
    REMEDOR_SOURCE_DIR "/tests/fixtures/archives/wrong_password_decodes.7z";

TEST_F(SevenZipTest, WrongOrMissingPasswords) {
  MakeArchive("headers.7z", "-pSecret -mhe=on");
  MakeArchive("data.7z", "-pSecret");  // a new random salt on every run
  std::filesystem::copy_file(kWrongPasswordDecodes, Host("C:\\in\\decodes.7z"));
  struct Case {
    const char* archive;
    const char* password;
    int result;
    int last_error;
  };
  const Case cases[] = {
      // Encrypted headers: the archive cannot be opened at all.
      {"C:\\in\\headers.7z", "Wrong", -1, kFileNotFound},
      {"C:\\in\\headers.7z", "", -1, kFileNotFound},
      // Only the data is encrypted: every item fails to decode, whatever the salt.
      {"C:\\in\\data.7z", "Wrong", 0, kWrongPassword},
      {"C:\\in\\data.7z", "", 0, kDataError},
      {"C:\\in\\decodes.7z", "Wrong", 0, kWrongPassword},
      {"C:\\in\\decodes.7z", "", 0, kDataError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " / " + c.password);
    zip->Password = c.password;
    zip->LastError = kSuccess;
    messages.clear();
    EXPECT_EQ(ExtractInto(c.archive, "C:\\out"), c.result);
    EXPECT_EQ(zip->LastError, c.last_error);
    EXPECT_FALSE(Exists("C:\\out\\a.txt"));
    EXPECT_FALSE(Exists("C:\\out\\sub\\b.txt"));
    for (const Message& message : messages) {
      EXPECT_EQ(message,
                (Message{c.last_error, std::string(ProblemMessage(c.last_error)), message.file}));
    }
  }
  EXPECT_EQ(ProblemMessage(kWrongPassword), "Data Error in encrypted file. Wrong password?");

  // The right password opens the fixed archive.
  zip->Password = "Secret";
  EXPECT_EQ(ExtractInto("C:\\in\\decodes.7z", "C:\\out"), 0);
  EXPECT_EQ(zip->LastError, kSuccess);
  EXPECT_EQ(Read("C:\\out\\a.txt"), "alpha");
}

TEST_F(SevenZipTest, PasswordAnswerOfTheCallbacks) {
  com::BSTR answer = nullptr;
  EXPECT_EQ(AnswerPassword(*zip, "", &answer), com::kFalse);
  EXPECT_EQ(answer, nullptr);
  EXPECT_EQ(AnswerPassword(*zip, "Kq7Lm2Xw@Zt9Rb4N%c3Pé\U0001F600", &answer), com::kOk);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(platform::WideToUtf8(answer), "Kq7Lm2Xw@Zt9Rb4N%c3Pé\U0001F600");
  zip->strings().Free(answer);
}

TEST_F(SevenZipTest, MissingArchiveReportsFileNotFound) {
  bool pre_progress = false;
  zip->OnPreProgress = [&](TSevenZip&, std::int64_t) { pre_progress = true; };
  EXPECT_EQ(ExtractInto("C:\\in\\none.7z", "C:\\out"), -1);
  EXPECT_EQ(zip->LastError, kFileNotFound);
  EXPECT_EQ(zip->LastSystemError, 2u);
  EXPECT_THAT(messages, ElementsAre(Message{1, "File not found", "C:\\in\\none.7z"}));
  EXPECT_FALSE(pre_progress);
}

TEST_F(SevenZipTest, FilesSelectByIndexOrByName) {
  MakeArchive("enc.7z", "-pSecret -mhe=on");
  zip->Password = "Secret";
  zip->SZFileName = "C:\\in\\enc.7z";
  const int a_index = zip->FindItemIndex("A.TXT");  // no password offered: headers stay closed
  EXPECT_EQ(a_index, -1);
  MakeArchive("plain.7z");
  zip->SZFileName = "C:\\in\\plain.7z";
  EXPECT_EQ(zip->FindItemIndex("SUB\\B.TXT"), zip->FindItemIndex("sub/b.txt"));
  EXPECT_GE(zip->FindItemIndex("a.txt"), 0);
  EXPECT_EQ(zip->FindItemIndex("c.txt"), -1);

  struct Case {
    std::vector<std::string> files;
    int result;
    bool a;
    bool b;
  };
  const Case cases[] = {
      {{"sub\\B.txt"}, 0, false, true},
      {{std::to_string(zip->FindItemIndex("a.txt"))}, 0, true, false},
      {{"nothing.txt"}, -1, false, false},
      {{"3"}, -1, false, false},  // three items: sub, a.txt, sub\b.txt
      {{"a.txt", "-1"}, -1, false, false},
  };
  for (const std::string archive : {"C:\\in\\enc.7z", "C:\\in\\plain.7z"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(archive + " " + c.files.front());
      std::filesystem::remove_all(Host("C:\\out"));
      std::filesystem::create_directories(Host("C:\\out"));
      messages.clear();
      zip->Files = c.files;
      EXPECT_EQ(ExtractInto(archive, "C:\\out"), c.result);
      EXPECT_EQ(Exists("C:\\out\\a.txt"), c.a);
      EXPECT_EQ(Exists("C:\\out\\sub\\b.txt"), c.b);
      if (c.result == -1) {
        EXPECT_THAT(messages, ElementsAre(Message{5, "Index out of Range", ""}));
      }
    }
  }
}

TEST_F(SevenZipTest, ExistingFilesAndOverwrite) {
  MakeArchive("plain.7z");
  struct Case {
    bool overwrite_option;
    std::optional<bool> handler_answer;  // nullopt: no handler
    std::string expected;
  };
  const Case cases[] = {
      {false, std::nullopt, "old"},
      {false, false, "old"},
      {false, true, "alpha"},
      {true, std::nullopt, "alpha"},
  };
  for (const Case& c : cases) {
    std::ofstream(Host("C:\\out\\a.txt")) << "old";
    zip->ExtractOptions.ExtractOverwrite = c.overwrite_option;
    std::vector<std::string> asked;
    zip->OnExtractOverwrite = nullptr;
    if (c.handler_answer) {
      zip->OnExtractOverwrite = [&](TSevenZip&, const std::string& name, bool& overwrite) {
        asked.push_back(name);
        overwrite = *c.handler_answer;
      };
    }
    EXPECT_EQ(ExtractInto("C:\\in\\plain.7z", "C:\\out"), 0);
    EXPECT_EQ(Read("C:\\out\\a.txt"), c.expected);
    EXPECT_EQ(Read("C:\\out\\sub\\b.txt"), "bravo");
    if (c.handler_answer) {
      EXPECT_THAT(asked, ElementsAre("C:\\out\\sub", "C:\\out\\a.txt", "C:\\out\\sub\\b.txt"));
    }
  }
}

TEST_F(SevenZipTest, ReadOnlyTargetCannotBeReplaced) {
  MakeArchive("plain.7z");
  std::ofstream(Host("C:\\out\\a.txt")) << "old";
  ASSERT_TRUE(files->SetAttributes("C:\\out\\a.txt", platform::file_attribute::kReadOnly).ok());
  zip->ExtractOptions.ExtractOverwrite = true;
  zip->Files = {"a.txt"};
  EXPECT_NE(ExtractInto("C:\\in\\plain.7z", "C:\\out"), -1);
  EXPECT_EQ(zip->LastError, kCouldNotCreateFile);
  EXPECT_EQ(zip->LastSystemError, 5u);
  EXPECT_THAT(messages, ElementsAre(Message{11, "Could not create file", "C:\\out\\a.txt"}));
  EXPECT_EQ(Read("C:\\out\\a.txt"), "old");
}

TEST_F(SevenZipTest, NoPathAndNewNames) {
  MakeArchive("plain.7z");
  zip->ExtractOptions.ExtractNoPath = true;
  EXPECT_EQ(ExtractInto("C:\\in\\plain.7z", "C:\\out"), 0);
  EXPECT_EQ(Read("C:\\out\\b.txt"), "bravo");
  EXPECT_FALSE(Exists("C:\\out\\sub\\b.txt"));

  zip->ExtractOptions.ExtractNoPath = false;
  zip->OnSetExtractName = [](TSevenZip&, std::uint32_t, std::string& name) { name += ".new"; };
  EXPECT_EQ(ExtractInto("C:\\in\\plain.7z", "C:\\out"), 0);
  EXPECT_EQ(Read("C:\\out\\sub\\b.txt.new"), "bravo");
}

TEST_F(SevenZipTest, SplitVolumesAreReadInOrder) {
  std::string big(3'000'000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 5);
  Source("big.bin", big);
  SevenZipCommand("a -mx=0 -v1m ../in/split.7z big.bin");
  ASSERT_TRUE(Exists("C:\\in\\split.7z.003"));
  EXPECT_EQ(ExtractInto("C:\\in\\split.7z.001", "C:\\out"), 0);
  EXPECT_EQ(zip->LastError, kSuccess);
  EXPECT_TRUE(Read("C:\\out\\big.bin") == big);
  EXPECT_THAT(ui.requests, IsEmpty());
}

TEST_F(SevenZipTest, SelfExtractorStartsAfterItsStub) {
  MakeArchive("enc.7z", "-pSecret -mhe=on");
  const std::string stub(65'536, 'M');
  for (const std::string name : {"setup.exe", "SETUP2.EXE"}) {
    std::ofstream(Host("C:\\in\\" + name), std::ios::binary) << stub << Read("C:\\in\\enc.7z");
  }
  zip->Password = "Secret";
  EXPECT_EQ(ExtractInto("C:\\in\\setup.exe", "C:\\out"), 0);
  EXPECT_TRUE(zip->IsSFX());
  EXPECT_EQ(zip->SFXOffset(), 65'536u);
  EXPECT_EQ(Read("C:\\out\\sub\\b.txt"), "bravo");
  EXPECT_EQ(ExtractInto("C:\\in\\SETUP2.EXE", "C:\\out"), 0);

  // An executable whose 7z data starts at its very beginning is no self-extractor.
  std::filesystem::copy_file(Host("C:\\in\\enc.7z"), Host("C:\\in\\plain.exe"));
  EXPECT_EQ(ExtractInto("C:\\in\\plain.exe", "C:\\out"), -1);
  EXPECT_FALSE(zip->IsSFX());
  EXPECT_THAT(messages,
              ElementsAre(Message{7, "File is not an 7z SFX archive", "C:\\in\\plain.exe"}));
  // The signature is looked for in the 81,920 bytes after the stub only.
  std::ofstream(Host("C:\\in\\far.exe"), std::ios::binary)
      << stub << std::string(81'920, 'x') << Read("C:\\in\\enc.7z");
  EXPECT_EQ(ExtractInto("C:\\in\\far.exe", "C:\\out"), -1);
  EXPECT_EQ(zip->LastError, kNotSfxArchive);
}

TEST_F(SevenZipTest, DamagedDataIsReportedAndTestModeWritesNothing) {
  Source("a.txt", std::string(5000, 'a'));
  SevenZipCommand("a -mx=0 ../in/stored.7z a.txt");
  std::string bytes = Read("C:\\in\\stored.7z");
  ASSERT_GT(bytes.size(), 2000u);
  zip->SZFileName = "C:\\in\\stored.7z";
  zip->ExtrBaseDir = "C:\\out";
  EXPECT_EQ(zip->Extract(true), 0);
  EXPECT_EQ(zip->LastError, kSuccess);
  EXPECT_FALSE(Exists("C:\\out\\a.txt"));

  bytes[1000] ^= 0x55;  // inside the stored data
  std::ofstream(Host("C:\\in\\stored.7z"), std::ios::binary) << bytes;
  EXPECT_EQ(zip->Extract(true), 0);
  EXPECT_EQ(zip->LastError, kCrcError);
  EXPECT_THAT(messages, ElementsAre(Message{3, "CRC Error", "a.txt"}));
  EXPECT_FALSE(Exists("C:\\out\\a.txt"));

  messages.clear();
  EXPECT_EQ(zip->Extract(false), 0);
  EXPECT_EQ(zip->LastError, kCrcError);
  EXPECT_THAT(messages, ElementsAre(Message{3, "CRC Error", "C:\\out\\a.txt"}));
  EXPECT_EQ(Read("C:\\out\\a.txt").size(), 5000u);  // the damaged file stays
}

TEST_F(SevenZipTest, ItemsThatWouldLeaveTheTargetFolderAreRefused) {
  Source("a.txt", "alpha");
  Source("inner/keep.txt", "keep");
  std::filesystem::create_symlink("/etc/hostname", root() / "drive_c/src/link");
  // "../a.txt" as seen from inner, the absolute host path, and a link.
  SevenZipCommand("a -spf ../../in/parent.7z ../a.txt", "inner");
  const std::string absolute = (root() / "drive_c/src/a.txt").string();
  SevenZipCommand("a -spf ../in/absolute.7z " + absolute);
  SevenZipCommand("a -snl ../in/link.7z link inner/keep.txt");

  std::string absolute_shown = "C:\\out\\" + absolute;
  std::replace(absolute_shown.begin(), absolute_shown.end(), '/', '\\');
  struct Case {
    const char* archive;
    std::string refused;
  };
  const Case cases[] = {
      {"C:\\in\\parent.7z", "C:\\out\\..\\a.txt"},
      {"C:\\in\\absolute.7z", absolute_shown},
      {"C:\\in\\link.7z", "C:\\out\\link"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    messages.clear();
    ExtractInto(c.archive, "C:\\out");
    EXPECT_EQ(zip->LastError, kCouldNotCreateFile);
    EXPECT_THAT(messages, ElementsAre(Message{11, "Could not create file", c.refused}));
  }
  EXPECT_EQ(Read("C:\\out\\inner\\keep.txt"), "keep");  // the rest of the archive still comes out
  EXPECT_FALSE(Exists("C:\\a.txt"));
  EXPECT_FALSE(Exists("C:\\out\\link"));
  EXPECT_EQ(Read("C:\\src\\a.txt"), "alpha");
}

TEST_F(SevenZipTest, FormValuesAndConstructionDefaults) {
  EXPECT_EQ(zip->Password, "");
  EXPECT_EQ(zip->NumberOfFiles, -1);
  EXPECT_EQ(zip->SFXModule, "7z.sfx");
  ApplyFormValues(*zip);
  EXPECT_EQ(zip->SZFileName, "qdm.7z");
  EXPECT_EQ(zip->Password, "Kq7Lm2Xw@Zt9Rb4N%c3P");
  EXPECT_TRUE(zip->ExtractOptions.ExtractOverwrite);
  EXPECT_FALSE(zip->ExtractOptions.ExtractNoPath);
  EXPECT_EQ(ProblemMessage(kCouldNotCreateFile), "Could not create file");
  EXPECT_EQ(ProblemMessage(kSfxModuleNotFound), "SFXModule error ( Not found )");
}

TEST(SevenZipLibrary, UnusableLibraryFailsConstructionWithItsMessage) {
  const char* saved = std::getenv("REMEDOR_7Z_LIBRARY");
  const std::string previous = saved ? saved : "";
  ::setenv("REMEDOR_7Z_LIBRARY", "/nonexistent/7z.so", 1);
  platform::posix::PrefixFileSystem files("/nonexistent");
  try {
    TSevenZip zip(files, nullptr);
    ADD_FAILURE() << "constructed without a library";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(),
                 "Could not load CreateObject function from 7za.dll\r\nPerhaps 7za.dll not found");
  }
  if (saved) {
    ::setenv("REMEDOR_7Z_LIBRARY", previous.c_str(), 1);
  } else {
    ::unsetenv("REMEDOR_7Z_LIBRARY");
  }
}

}  // namespace
}  // namespace archive
