#include "archive/integrity.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "archive/MD5Api.h"
#include "archive/archive_fixture.h"
#include "components/dir_instances.h"
#include "components/profile_instances.h"
#include "platform/posix/prefix_profile.h"

namespace archive {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The user-interface thread's queue, drained by the test.
class UiQueue {
 public:
  void Post(IntegrityCheck::Task task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    posted_.notify_all();
  }
  // Runs posted tasks until the check has published its lines.
  void RunUntilFinished(const IntegrityCheck& check) {
    while (!check.Finished()) {
      std::unique_lock lock(mutex_);
      posted_.wait(lock, [&] { return !tasks_.empty(); });
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<IntegrityCheck::Task> tasks_;
};

constexpr char kEmptyDigest[] = "d41d8cd98f00b204e9800998ecf8427e";

class IntegrityTest : public testing::ArchiveFixture {
 protected:
  void SetUp() override {
    ArchiveFixture::SetUp();
    std::filesystem::create_directories(Host("C:\\Game\\QUORVEL"));
    std::filesystem::create_directories(Host("C:\\Tool"));
    profile_strings.emplace(*files);
    profile1.emplace(*profile_strings);
    bfc_dir4.emplace(*files);
    Configure(*profile1, kProfileInstances[0]);
    Configure(*bfc_dir4, kDirInstances[3]);
  }
  // A file of the game folder; returns its digest.
  std::string Put(const std::string& relative, const std::string& content) {
    const std::string path = "C:\\Game\\" + relative;
    std::ofstream(Host(path), std::ios::binary) << content;
    return FileDigest(*files, path);
  }
  void WriteDigests(const std::string& lines) {
    std::ofstream(Host("C:\\Tool\\qdm.ini"), std::ios::binary) << "[MD5]\r\n" << lines;
  }
  void Run(IntegrityCheck& check, const std::string& build_folder = "C:\\RemedorBuild\\") {
    check.Start(
        {"C:\\Game\\", "C:\\Tool\\", build_folder},
        [this](IntegrityCheck::Task task) { queue.Post(std::move(task)); },
        [this] { ++done_calls; });
    queue.RunUntilFinished(check);
  }
  IntegrityCheck MakeCheck() { return IntegrityCheck(*files, *profile1, *bfc_dir4, lines, found); }

  std::optional<platform::posix::PrefixProfileStrings> profile_strings;
  std::optional<TProfile> profile1;
  std::optional<TBFC_Dir> bfc_dir4;
  std::vector<std::string> lines;
  bool found = false;
  int done_calls = 0;
  UiQueue queue;
};

TEST_F(IntegrityTest, ReportsMismatchesInScanOrderWithTheSkipRules) {
  const std::string library = Put("QDsys.dll", "library");
  const std::string xyz = Put("QUORVEL\\XYZ.7z", "xyz");
  const std::string qdf1 = Put("QUORVEL\\qdf1.7z", "qdf1");
  Put("QUORVEL\\qdf2.7z", "qdf2");
  Put("QUORVEL\\qdcd.7z", "qdcd");
  Put("QUORVEL\\qdcw.7z", "qdcw");
  Put("QUORVEL\\new.7z", "new");
  Put("QUORVEL\\qdm.7z", "datapack");
  Put("QUORVEL\\V.7z", "obsolete");
  Put("QUORVEL\\fu.7z", "obsolete");
  Put("QUORVEL\\W.7z", "stuck");
  ASSERT_TRUE(
      files->SetAttributes("C:\\Game\\QUORVEL\\W.7z", platform::file_attribute::kReadOnly).ok());
  std::string upper = qdf1;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  WriteDigests(
      "QDsys.dll=" + library + "\r\n" + "xyz.7z=" + xyz + "\r\n" +  // key case does not matter
      "QDF1.7z=" + upper + "\r\n" +                                 // the digest's case does
      "qdf2.7z=" + std::string(kEmptyDigest) + "\r\n" +             // wrong
      "qdcw.7z=00000000000000000000000000000000\r\n" +              // not checked
      "new.7z=" + std::string(kEmptyDigest) + "\r\n" +              // not a checked name
      "qdm.7z=" + std::string(kEmptyDigest) + "\r\n" + "V.7z=" + std::string(kEmptyDigest) +
      "\r\n" + "W.7z=" + std::string(kEmptyDigest) + "\r\n");
  // qdcd.7z has no key at all.

  IntegrityCheck check = MakeCheck();
  Run(check);
  EXPECT_THAT(lines, ElementsAre("Fichier qdf1.7z corrompu", "Fichier qdf2.7z corrompu",
                                 "Fichier W.7z corrompu"));
  EXPECT_TRUE(found);
  EXPECT_EQ(done_calls, 1);
  // The archives among them, for the restoration to leave aside.
  std::vector<std::string> with_library = lines;
  with_library.push_back("Fichier QDsys.dll corrompu");
  EXPECT_THAT(CorruptArchiveNames(with_library), ElementsAre("qdf1.7z", "qdf2.7z", "W.7z"));
  EXPECT_FALSE(Exists("C:\\Game\\QUORVEL\\V.7z"));
  EXPECT_FALSE(Exists("C:\\Game\\QUORVEL\\fu.7z"));
  EXPECT_TRUE(Exists("C:\\Game\\QUORVEL\\W.7z"));  // its deletion failed: checked
  EXPECT_TRUE(Exists("C:\\Game\\QUORVEL\\qdm.7z"));
  EXPECT_FALSE(Exists("C:\\Tool\\qdm.ini"));
}

TEST_F(IntegrityTest, LibraryWithoutListOrFile) {
  struct Case {
    bool library;
    bool list;
    bool corrupt_archive;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {false, true, false, {"Fichier QDsys.dll corrompu"}},
      {true, false, true, {"Fichier QDsys.dll corrompu"}},  // no list: archives are skipped
      {true, true, true, {"Fichier QDsys.dll corrompu", "Fichier XYZ.7z corrompu"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Host("C:\\Game\\QDsys.dll"));
    if (c.library) Put("QDsys.dll", "library");
    const std::string archive = Put("QUORVEL\\XYZ.7z", "xyz");
    if (c.list) {
      WriteDigests("QDsys.dll=0123456789abcdef0123456789abcdef\r\nXYZ.7z=" +
                   (c.corrupt_archive ? std::string(kEmptyDigest) : archive) + "\r\n");
    }
    lines.clear();
    IntegrityCheck check = MakeCheck();
    Run(check);
    EXPECT_EQ(lines, c.expected);
  }
}

TEST_F(IntegrityTest, BuildFolderKeepsItsListAndProgressCountsTheChosenFiles) {
  Put("QDsys.dll", "library");
  Put("QUORVEL\\XYZ.7z", "xyz");
  Put("QUORVEL\\new.7z", "not a checked name");
  WriteDigests("QDsys.dll=" + std::string(kEmptyDigest) + "\r\nXYZ.7z=" +
               std::string(kEmptyDigest) + "\r\nnew.7z=" + std::string(kEmptyDigest) + "\r\n");
  IntegrityCheck check = MakeCheck();
  EXPECT_EQ(check.HashingProgress().total, 0u);
  Run(check, "c:\\tool");
  EXPECT_THAT(lines, ElementsAre("Fichier QDsys.dll corrompu", "Fichier XYZ.7z corrompu"));
  EXPECT_TRUE(Exists("C:\\Tool\\qdm.ini"));
  const IntegrityCheck::Progress progress = check.HashingProgress();
  EXPECT_EQ(progress.total, std::string("library").size() + std::string("xyz").size());
  EXPECT_EQ(progress.hashed, progress.total);
}

}  // namespace
}  // namespace archive
