#include "repairs/restore_missing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/archive_fixture.h"

namespace repairs {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

constexpr char kGame[] = "C:\\Game\\";
constexpr char kDataPackPassword[] = "-pKq7Lm2Xw@Zt9Rb4N%c3P";

class RestoreTest : public archive::testing::ArchiveFixture {
 protected:
  void SetUp() override {
    ArchiveFixture::SetUp();
    std::filesystem::create_directories(Host("C:\\Game\\QUORVEL"));
  }
  // An archive of QUORVEL\ made of the files under C:\src\<folder>.
  void Archive(const std::string& name, const std::string& folder,
               const std::string& switches = "") {
    SevenZipCommand("a " + switches + " ../../Game/QUORVEL/" + name + " *", folder);
  }
  RestorePlan Plan(const std::vector<std::string>& missing,
                   const std::vector<std::string>& corrupt = {}) {
    const RestoreIndex index =
        BuildRestoreIndex(*zip, kGame, SourceArchives(*files, kGame, corrupt), nullptr);
    return PlanRestore(index, *files, kGame, missing);
  }
  RestoreOutcome Run(const RestorePlan& plan) {
    return RunRestore(*zip, *files, kGame, plan, [this](std::uint64_t done, std::uint64_t total) {
      EXPECT_LE(done, total);
      ++progress_calls;
    });
  }
  // Every entry below the game folder but QUORVEL\, as relative paths.
  std::vector<std::string> GameTree() {
    std::vector<std::string> tree;
    const auto game = Host("C:\\Game");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(game)) {
      const std::string relative = std::filesystem::relative(entry.path(), game).string();
      if (!relative.starts_with("QUORVEL")) tree.push_back(relative);
    }
    return tree;
  }
  int progress_calls = 0;
};

std::vector<std::string> Relatives(const RestorePlan& plan) {
  std::vector<std::string> relatives;
  for (const PlannedFile& file : plan.files) relatives.push_back(file.relative);
  return relatives;
}

TEST_F(RestoreTest, PutsBackMissingFilesFromPlainAndPasswordArchivesByteForByte) {
  Source("a/Maps/a.dat", "map a");
  Source("a/Maps/b.dat", "map b");
  Source("b/Cars/Car1/c.ini", "[car]\r\n");
  Source("b/Cars/Car1/d.ini", "");  // an empty file has no stored CRC
  Archive("A.7z", "a");
  Archive("B.7z", "b", std::string(kDataPackPassword) + " -mhe=on");

  // Either separator, any letter case; a missing folder takes the files below it.
  zip->Password = "the component's own";
  const RestorePlan plan = Plan({"maps/A.DAT", "Cars\\car1", "Nowhere\\x.dat"});
  EXPECT_THAT(Relatives(plan),
              UnorderedElementsAre("maps\\A.DAT", "Cars\\Car1\\c.ini", "Cars\\Car1\\d.ini"));
  EXPECT_THAT(plan.archives, UnorderedElementsAre("A.7z", "B.7z"));
  EXPECT_THAT(plan.unopened, IsEmpty());

  const RestoreOutcome outcome = Run(plan);
  EXPECT_THAT(outcome.not_restored, IsEmpty());
  EXPECT_EQ(outcome.restored.size(), 3u);
  EXPECT_GT(progress_calls, 0);
  EXPECT_EQ(Read("C:\\Game\\maps\\A.DAT"), "map a");
  EXPECT_EQ(Read("C:\\Game\\Cars\\Car1\\c.ini"), "[car]\r\n");
  EXPECT_EQ(Read("C:\\Game\\Cars\\Car1\\d.ini"), "");
  // Only what was missing, and only the folders those files need.
  EXPECT_THAT(GameTree(), UnorderedElementsAre("maps", "maps/A.DAT", "Cars", "Cars/Car1",
                                               "Cars/Car1/c.ini", "Cars/Car1/d.ini"));
  EXPECT_TRUE(zip->Files.empty());  // the component is left as it was
  EXPECT_FALSE(zip->accept_item);
  EXPECT_EQ(zip->Password, "the component's own");
}

TEST_F(RestoreTest, SkipsTheDataPackCorruptDamagedAndForeignPasswordArchives) {
  Source("s/Maps/x.dat", "x");
  for (const char* name : {"qdm.7z", "Corrupt.7z", "Other.7z", "Damaged.7z", "Good.7z"}) {
    Archive(name, "s", std::string(name) == std::string("Other.7z") ? "-pOther -mhe=on" : "");
  }
  // Cut short: the headers at the end are gone.
  std::filesystem::resize_file(Host("C:\\Game\\QUORVEL\\Damaged.7z"), 40);
  std::filesystem::create_directories(Host("C:\\Game\\QUORVEL\\Folder.7z"));

  EXPECT_THAT(SourceArchives(*files, kGame, {"CORRUPT.7z"}),
              UnorderedElementsAre("Other.7z", "Damaged.7z", "Good.7z"));
  const RestorePlan plan = Plan({"Maps\\x.dat"}, {"CORRUPT.7z"});
  EXPECT_THAT(plan.unopened, UnorderedElementsAre("Other.7z", "Damaged.7z"));
  EXPECT_THAT(plan.archives, ElementsAre("Good.7z"));
  EXPECT_THAT(RestoreOfferText(plan), HasSubstr("Damaged.7z"));
}

TEST_F(RestoreTest, ARootFolderIsSkippedUnlessItIsAFolderOfTheGame) {
  Source("r/QUORVEL_2/Maps/r.dat", "below a root");
  Archive("Root.7z", "r");
  Source("p/Plugins/p.dll", "plugin");
  Archive("Plugins.7z", "p");
  Source("e/Audio/e.wav", "existing top folder");
  Archive("Audio.7z", "e");
  std::filesystem::create_directories(Host("C:\\Game\\Audio"));

  const RestorePlan plan = Plan({"Maps\\r.dat", "Plugins\\p.dll", "Audio\\e.wav", "e.wav"});
  EXPECT_THAT(Relatives(plan),
              UnorderedElementsAre("Maps\\r.dat", "Plugins\\p.dll", "Audio\\e.wav"));
  Run(plan);
  EXPECT_EQ(Read("C:\\Game\\Maps\\r.dat"), "below a root");
  EXPECT_EQ(Read("C:\\Game\\Plugins\\p.dll"), "plugin");
}

TEST_F(RestoreTest, NeverOverwritesNorWritesThroughALinkNorOutsideTheGameFolder) {
  Source("a/Maps/late.dat", "from the archive");
  Source("a/Maps/linked.dat", "through a link");
  Source("a/Tracks/t.dat", "via linked folder");
  Source("a/climb.txt", "climbing");
  Source("a/con.txt", "device");
  Archive("A.7z", "a");
  SevenZipCommand("rn ../../Game/QUORVEL/A.7z climb.txt ../../climb.txt", "a");
  std::filesystem::create_directories(Host("C:\\Elsewhere"));
  std::filesystem::create_directory_symlink(Host("C:\\Elsewhere"), Host("C:\\Game\\Tracks"));
  std::filesystem::create_directories(Host("C:\\Game\\Maps"));

  const RestorePlan plan =
      Plan({"Maps\\late.dat", "Maps\\linked.dat", "Tracks\\t.dat", "..\\..\\climb.txt", "con.txt"});
  EXPECT_THAT(Relatives(plan),
              UnorderedElementsAre("Maps\\late.dat", "Maps\\linked.dat", "Tracks\\t.dat"));
  // Between the question and the work, the player (or someone else) puts
  // files there: a file and a link to a file outside.
  std::ofstream(Host("C:\\Game\\Maps\\late.dat")) << "the player's";
  std::ofstream(Host("C:\\Elsewhere\\target.dat")) << "outside";
  std::filesystem::create_symlink(Host("C:\\Elsewhere\\target.dat"),
                                  Host("C:\\Game\\Maps\\linked.dat"));

  const RestoreOutcome outcome = Run(plan);
  EXPECT_THAT(outcome.restored, IsEmpty());
  EXPECT_THAT(outcome.not_restored,
              UnorderedElementsAre("Maps\\late.dat (existe déjà / already exists)",
                                   "Maps\\linked.dat (existe déjà / already exists)",
                                   "Tracks\\t.dat (chemin refusé / path refused)"));
  EXPECT_EQ(Read("C:\\Game\\Maps\\late.dat"), "the player's");
  EXPECT_EQ(Read("C:\\Elsewhere\\target.dat"), "outside");
  EXPECT_FALSE(Exists("C:\\Elsewhere\\t.dat"));
  EXPECT_FALSE(Exists("C:\\climb.txt"));
}

TEST_F(RestoreTest, ArchivesThatDisagreeRestoreNothingForThatPath) {
  Source("a/Maps/d.dat", "one");
  Source("a/Maps/same.dat", "same");
  Source("b/Maps/d.dat", "two");
  Source("b/Maps/same.dat", "same");
  Archive("A.7z", "a");
  Archive("B.7z", "b");

  const RestorePlan plan = Plan({"Maps\\d.dat", "Maps\\same.dat"});
  EXPECT_THAT(Relatives(plan), ElementsAre("Maps\\same.dat"));
  EXPECT_THAT(plan.disagreeing, ElementsAre("Maps\\d.dat"));
  EXPECT_THAT(RestoreOfferText(plan), HasSubstr("Maps\\d.dat"));
  Run(plan);
  EXPECT_FALSE(Exists("C:\\Game\\Maps\\d.dat"));
  EXPECT_EQ(Read("C:\\Game\\Maps\\same.dat"), "same");
}

TEST_F(RestoreTest, AFileTheArchiveCannotGiveIsNotLeftBehind) {
  // Headers in clear, content under another password: the index reads it,
  // the extraction with the DataPack's password writes nothing.
  Source("a/Maps/secret.dat", std::string(4096, 's'));
  Archive("A.7z", "a", "-pOther");
  // Stored as is, then one byte of the content changed in the archive: the
  // file is written, and differs from the stored CRC.
  Source("b/Maps/bent.dat", std::string(4096, 'b'));
  Archive("B.7z", "b", "-mx0");
  {
    std::fstream archive(Host("C:\\Game\\QUORVEL\\B.7z"),
                         std::ios::in | std::ios::out | std::ios::binary);
    archive.seekp(32 + 100);  // the signature header, then the stored content
    archive.put('X');
  }
  const RestorePlan plan = Plan({"Maps\\secret.dat", "Maps\\bent.dat"});
  ASSERT_EQ(plan.files.size(), 2u);
  const RestoreOutcome outcome = Run(plan);
  EXPECT_THAT(outcome.restored, IsEmpty());
  EXPECT_THAT(outcome.not_restored,
              UnorderedElementsAre("Maps\\secret.dat (non écrit / not written)",
                                   "Maps\\bent.dat (CRC différent / CRC mismatch)"));
  EXPECT_FALSE(Exists("C:\\Game\\Maps\\secret.dat"));
  EXPECT_FALSE(Exists("C:\\Game\\Maps\\bent.dat"));
}

TEST(RestoreEntries, OnlyEntriesOfTheGameFolderThatThePlayerDidNotSwitchOff) {
  struct Case {
    std::string entry;
    std::optional<std::string> path;
  };
  const std::vector<Case> cases = {
      {"Maps\\track.dat", "Maps\\track.dat"},  {"$Loading\\a.bmp", "Loading\\a.bmp"},
      {"£Profiles\\p.ini", "Profiles\\p.ini"}, {"§Plugins\\PhysicsNG.dll", std::nullopt},
      {"&msvbvm60.dll", std::nullopt},         {"µ2.5", std::nullopt},
      {"..\\outside.dat", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(RestorableEntryPath(c.entry), c.path) << c.entry;
}

TEST(RestoreTexts, FrenchThenEnglishWithCountsArchivesAndWhatWasNotRestored) {
  RestorePlan plan;
  plan.files.resize(2);
  plan.archives = {"V.7z", "W.7z"};
  const std::string offer = RestoreOfferText(plan);
  EXPECT_THAT(offer, HasSubstr("2 fichier(s) manquant(s)"));
  EXPECT_THAT(offer, HasSubstr("V.7z, W.7z"));
  EXPECT_LT(offer.find("Voulez-vous"), offer.find("Restore them now?"));

  RestoreOutcome outcome;
  outcome.restored = {"a"};
  for (int i = 0; i < 25; ++i) outcome.not_restored.push_back("f" + std::to_string(i));
  const std::string told = RestoreOutcomeText(outcome);
  EXPECT_THAT(told, HasSubstr("1 fichier(s) restauré(s).\r1 file(s) restored."));
  EXPECT_THAT(told, HasSubstr("f19"));
  EXPECT_THAT(told, Not(HasSubstr("f20")));
  EXPECT_THAT(told, HasSubstr("5 autres / 5 more"));
}

}  // namespace
}  // namespace repairs
