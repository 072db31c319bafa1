#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/faults.h"
#include "tests/test_machine.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr char kInstallPathKey[] = "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath";
constexpr char kMaps[] = "C:\\Jeux\\RBR\\MAPS\\";

// A machine whose game is registered, with the folders given below MAPS.
struct TextureMachine {
  TextureMachine() {
    machine.SetRegistryString(test::Hive::kLocalMachine, kInstallPathKey, "", "C:\\Jeux\\RBR");
  }
  void Folder(const std::string& relative) { machine.AddFolder(kMaps + relative); }
  void File(const std::string& relative) { machine.AddFile(kMaps + relative, relative); }
  bool Exists(const std::string& relative) const { return machine.Exists(kMaps + relative); }
  test::TestMachine machine;
};

TEST(TextureRepair, RenamesAfterTheMarkerOrRemovesTheDuplicate) {
  struct Case {
    std::string name;
    Lines folders, files;   // below MAPS, made before the repair
    Lines present, absent;  // afterwards
    Lines messages;
  };
  const std::string maps_message =
      "Certains dossiers dans ..\\MAPS\\ n'ont pas pu être réparer car il manque un(des) "
      "fichier(s) .rep";
  const Case cases[] = {
      {"rename",
       {"track-10_M_textures"},
       {"track-10_M_textures\\2_track-10_M_textures.rep", "track-10_M_textures\\t.dds"},
       {"2_track-10_M_textures\\2_track-10_M_textures.rep", "2_track-10_M_textures\\t.dds"},
       {"track-10_M_textures"},
       {}},
      {"duplicate removed",
       {"track-10_M_textures", "2_track-10_M_textures"},
       {"track-10_M_textures\\2_track-10_M_textures.rep", "track-10_M_textures\\old.dds",
        "2_track-10_M_textures\\good.dds"},
       {"2_track-10_M_textures\\good.dds"},
       {"track-10_M_textures", "2_track-10_M_textures\\old.dds"},
       {}},
      {"first marker listed decides",
       {"track-10_M_textures"},
       {"track-10_M_textures\\2_track-10_M_textures.rep",
        "track-10_M_textures\\1_track-10_M_textures.rep"},
       {"1_track-10_M_textures\\2_track-10_M_textures.rep"},
       {"track-10_M_textures", "2_track-10_M_textures"},
       {}},
      {"two-character prefix is no marker",
       {"track-10_M_textures"},
       {"track-10_M_textures\\12_track-10_M_textures.rep"},
       {"track-10_M_textures\\12_track-10_M_textures.rep"},
       {"12_track-10_M_textures"},
       {maps_message}},
      {"one message per unmarked folder",
       {"track-10_M_textures", "track-11_M_textures", "track-12_M_textures"},
       {},
       {"track-10_M_textures", "track-11_M_textures", "track-12_M_textures"},
       {},
       {maps_message, maps_message, maps_message}},
      {"CC2, which the analysis does not scan",
       {"CC2\\track-20_E_textures"},
       {"CC2\\track-20_E_textures\\3_track-20_E_textures.rep"},
       {"CC2\\3_track-20_E_textures\\3_track-20_E_textures.rep"},
       {"CC2\\track-20_E_textures"},
       {}},
      {"the mask covers the whole name",
       {"track-10_M_textures_old", "track-1_M_textures"},
       {"track-10_M_textures_old\\2_track-10_M_textures.rep",
        "track-1_M_textures\\2_track-1_M_textures.rep"},
       {"track-10_M_textures_old", "track-1_M_textures"},
       {"2_track-10_M_textures", "2_track-1_M_textures"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextureMachine t;
    for (const std::string& folder : c.folders) t.Folder(folder);
    for (const std::string& file : c.files) t.File(file);
    test::TestForm tool(t.machine, test::AfterStartup{});
    tool.form().window.BoutonCorriger.enabled = true;
    tool.Run(&TForm1::BoutonCorrigerClick);
    for (const std::string& path : c.present) EXPECT_TRUE(t.Exists(path)) << path;
    for (const std::string& path : c.absent) EXPECT_FALSE(t.Exists(path)) << path;
    EXPECT_EQ(tool.Messages("plain"), c.messages);
    EXPECT_FALSE(tool.form().window.BoutonCorriger.enabled);
    EXPECT_EQ(tool.form().window.cursor, app::Cursor::kArrow);
  }
}

TEST(TextureRepair, WithoutRegisteredGameNothingChanges) {
  test::TestMachine machine;
  machine.AddFile("C:\\Jeux\\RBR\\MAPS\\track-10_M_textures\\2_track-10_M_textures.rep", "");
  test::TestForm tool(machine, test::AfterStartup{});
  tool.form().window.BoutonCorriger.enabled = true;
  tool.Run(&TForm1::BoutonCorrigerClick);
  EXPECT_TRUE(machine.Exists("C:\\Jeux\\RBR\\MAPS\\track-10_M_textures"));
  EXPECT_FALSE(tool.form().window.BoutonCorriger.enabled);
}

// The tree removed as a duplicate may hold links to what lies outside it:
// they go, what they point at stays untouched.
TEST(TextureRepair, RemovingATreeNeverReachesThroughLinks) {
  TextureMachine t;
  t.Folder("2_track-10_M_textures");
  t.File("track-10_M_textures\\2_track-10_M_textures.rep");
  t.machine.AddFile("C:\\Outside\\keep.txt", "keep");
  t.machine.AddFile("C:\\Outside\\Deep\\also.txt", "also");
  const fs::path inside = t.machine.HostPath("C:\\Jeux\\RBR\\MAPS\\track-10_M_textures");
  fs::create_directory_symlink(t.machine.HostPath("C:\\Outside"), inside / "folder-link");
  fs::create_symlink(t.machine.HostPath("C:\\Outside\\keep.txt"), inside / "file-link");
  fs::create_directory_symlink("../../../../Outside/Deep", inside / "relative-link");
  // A misnamed "folder" that is itself a link to an outside tree holding a marker.
  t.machine.AddFile("C:\\Elsewhere\\2_track-11_M_textures.rep", "");
  t.machine.AddFile("C:\\Elsewhere\\precious.dds", "data");
  t.Folder("2_track-11_M_textures");
  fs::create_directory_symlink(t.machine.HostPath("C:\\Elsewhere"),
                               t.machine.HostPath("C:\\Jeux\\RBR\\MAPS\\track-11_M_textures"));
  test::TestForm tool(t.machine, test::AfterStartup{});

  tool.Run(&TForm1::BoutonCorrigerClick);

  EXPECT_FALSE(t.Exists("track-10_M_textures"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(inside)));
  EXPECT_FALSE(fs::exists(
      fs::symlink_status(t.machine.HostPath("C:\\Jeux\\RBR\\MAPS\\track-11_M_textures"))));
  EXPECT_EQ(t.machine.ReadFile("C:\\Outside\\keep.txt"), "keep");
  EXPECT_EQ(t.machine.ReadFile("C:\\Outside\\Deep\\also.txt"), "also");
  EXPECT_EQ(t.machine.ReadFile("C:\\Elsewhere\\precious.dds"), "data");
  EXPECT_TRUE(t.machine.Exists("C:\\Elsewhere\\2_track-11_M_textures.rep"));
  EXPECT_TRUE(t.Exists("2_track-10_M_textures"));
  EXPECT_TRUE(t.Exists("2_track-11_M_textures"));
}

// A failed rename or removal leaves both folders as they were.
TEST(TextureRepair, FailedRenameOrRemovalChangesNothing) {
  for (const bool duplicate : {false, true}) {
    SCOPED_TRACE(duplicate ? "removal" : "rename");
    TextureMachine t;
    t.File("track-10_M_textures\\2_track-10_M_textures.rep");
    t.File("track-10_M_textures\\t.dds");
    if (duplicate) t.File("2_track-10_M_textures\\good.dds");
    test::TestForm tool(t.machine, test::AfterStartup{});
    {
      const platform::posix::ScopedFault fault(
          tool.faults(),
          duplicate ? platform::posix::FaultOperation::kSHFileOperation
                    : platform::posix::FaultOperation::kMoveFile,
          1);
      tool.Run(&TForm1::BoutonCorrigerClick);
    }
    EXPECT_EQ(t.machine.ReadFile(std::string(kMaps) + "track-10_M_textures\\t.dds"),
              "track-10_M_textures\\t.dds");
    EXPECT_TRUE(t.Exists("track-10_M_textures\\2_track-10_M_textures.rep"));
    EXPECT_EQ(t.Exists("2_track-10_M_textures"), duplicate);
    if (duplicate) {
      EXPECT_TRUE(t.Exists("2_track-10_M_textures\\good.dds"));
    }
    EXPECT_TRUE(tool.Messages("error").empty());  // not reported
  }
}

// A folder whose name holds a wildcard is never handed to the pattern-taking
// delete: "track-1*_M_textures" would take "track-123_M_textures" along.
TEST(TextureRepair, WildcardNamesAreNotRemoved) {
  TextureMachine t;
  t.File("track-1*_M_textures\\2_track-10_M_textures.rep");
  t.Folder("2_track-10_M_textures");
  t.File("track-123_M_textures\\keep.dds");
  test::TestForm tool(t.machine, test::AfterStartup{});
  tool.Run(&TForm1::BoutonCorrigerClick);
  EXPECT_TRUE(fs::exists(t.machine.HostPath("C:\\Jeux\\RBR\\MAPS\\track-1*_M_textures")));
  EXPECT_TRUE(t.Exists("track-123_M_textures\\keep.dds"));
}

}  // namespace
