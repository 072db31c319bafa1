// The start-up sequence end to end, on small test machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "app/reference_lists.h"
#include "tests/test_machine.h"

namespace test {
namespace {

constexpr char kQuorvel[] = "SOFTWARE\\SCi Games\\Richard Burns Rally\\QUORVEL\\";

// A game at C:\Jeux\RBR with update 15, every car pack off, and the tool's
// lists made for update 15.
void AddGame(TestMachine& machine, const std::string& marker =
                                       "\xB5"
                                       "15") {
  machine.SetRegistryString(Hive::kLocalMachine,
                            "SOFTWARE\\SCi Games\\Richard Burns Rally\\InstallPath", "",
                            "C:\\Jeux\\RBR");
  machine.SetRegistryString(Hive::kLocalMachine, std::string(kQuorvel) + "InstalledUpdate",
                            "Version", "15");
  const std::string packs = std::string(kQuorvel) + "Packs2015";
  machine.SetRegistryString(Hive::kLocalMachine, packs, "AllPacks", "0");
  for (const auto& pack : app::SinglePackNames()) {
    machine.SetRegistryString(Hive::kLocalMachine, packs, pack, "0");
  }
  for (const auto& ngp : app::NgpValueNames()) {
    machine.SetRegistryString(Hive::kLocalMachine, packs, ngp, "0");
  }
  machine.SetFact("Services", "W32Time", "4");  // running
  machine.AddTextFile("C:\\Jeux\\RBR\\RichardBurnsRally.ini", "[Settings]\r\nXRes=800\r\n");
  machine.AddFile("C:\\Outil\\FILESLIST.TXT",
                  "// liste\r\n" + marker + "\r\nRichardBurnsRally.ini\r\nQUORVEL\r\n");
  machine.AddTextFile("C:\\Outil\\mes notes.txt", "à garder\r\n");
  machine.AddTextFile("C:\\Jeux\\RBR\\b.dds", "");
  machine.AddTextFile("C:\\Jeux\\RBR\\A.DDS", "");
  machine.AddFolder("C:\\Jeux\\RBR\\dossier.dds");
}

// The new-version check warns from its own thread, before or after a gate's
// box: the last box that is not that warning.
app::RecordedDialog LastBoxBesideTheVersionWarning(const TestForm& t) {
  for (auto it = t.Dialogs().rbegin(); it != t.Dialogs().rend(); ++it) {
    if (it->kind != "warning") return *it;
  }
  ADD_FAILURE() << "no box besides the version warning";
  return {};
}

std::vector<std::string> Kinds(const TestForm& t) {
  std::vector<std::string> kinds;
  for (const auto& d : t.Dialogs()) kinds.push_back(d.kind);
  return kinds;
}

TEST(Startup, RunsToTheEnabledAnalysisButtonsOnce) {
  TestMachine machine;
  machine.SetFact("Locale", "LanguageName", "English");
  AddGame(machine);
  TestForm t(machine);
  t.RunStartup();
  TForm1& form = t.form();
  app::WindowModel& w = t.window();
  EXPECT_FALSE(form.Stopped());
  EXPECT_TRUE(w.SpeedButton1.enabled && w.SpeedButton4.enabled);
  EXPECT_FALSE(w.PanelInit.visible);
  EXPECT_EQ(w.cursor, app::Cursor::kArrow);
  EXPECT_EQ(w.LabelVersion.caption, "8.36.0");
  EXPECT_EQ(w.SpeedButton2.caption, "Quitter");  // French whatever the locale
  EXPECT_EQ(w.LabelInstallFolder.caption,
            "Richard Burns Rally est installé dans : C:\\Jeux\\RBR\\");
  EXPECT_EQ(std::make_pair(w.Panel1.left, w.Panel1.top), std::make_pair(228, 194));
  EXPECT_EQ(std::make_pair(w.Panel3.left, w.Panel3.top), std::make_pair(153, 132));
  EXPECT_EQ(std::make_pair(w.PanelHelp.left, w.PanelHelp.top), std::make_pair(64, 134));
  EXPECT_EQ(std::make_pair(w.PanelSummary.left, w.PanelSummary.top), std::make_pair(13, 141));
  EXPECT_EQ(std::make_pair(w.PanelInit.left, w.PanelInit.top), std::make_pair(29, 240));
  ASSERT_EQ(w.CheckList.size(), 2u);
  EXPECT_EQ(w.CheckList[0].text, "RichardBurnsRally.ini");
  EXPECT_EQ(form.dds_listing, (std::vector<std::string>{"A.DDS", "b.dds"}));
  EXPECT_EQ(t.os().files().CurrentDirectory(), "C:\\Jeux\\RBR");
  EXPECT_EQ(t.Screen().front(), "Version de l'utilitaire de dépannage : 8.36.0");
  EXPECT_FALSE(machine.Exists("C:\\Outil\\FILESLIST.TXT"));
  EXPECT_TRUE(machine.Exists("C:\\Outil\\mes notes.txt"));
  // The new-version check could not reach its site: its warning, nothing else.
  EXPECT_EQ(Kinds(t), (std::vector<std::string>{"warning"}));
  // Later activations (each closed box re-activates the window) do nothing.
  const std::size_t lines = t.Screen().size();
  form.FormActivate();
  EXPECT_EQ(t.Screen().size(), lines);
}

TEST(Startup, DeletesFilesByNameAndNeverAFolderOfThatName) {
  TestMachine machine;
  AddGame(machine);
  const std::vector<std::string> folders = {
      "C:\\version.txt", "C:\\Outil\\" + app::ShippedListFiles().back(), "C:\\Outil\\qdm.ini"};
  for (const std::string& folder : folders) machine.AddTextFile(folder + "\\à moi.txt", "à moi");
  TestForm t(machine);
  t.RunStartup();
  EXPECT_FALSE(t.form().Stopped());
  EXPECT_FALSE(machine.Exists("C:\\Outil\\FILESLIST.TXT"));  // the file goes
  for (const std::string& folder : folders) {
    EXPECT_TRUE(machine.Exists(folder + "\\à moi.txt")) << folder;
  }
}

TEST(Startup, AnErrorInAStepEndsTheSequenceButTheWindowStaysUsable) {
  struct Case {
    const char* name;
    bool version_info;
    bool lists;
    const char* error;
    bool notice_shown;
  };
  const Case cases[] = {
      {"no version information", false, true, "Les informations de version de sont pas inclues",
       false},
      {"the lists are gone", true, false, "Cannot open file C:\\Outil\\FILESLIST.TXT", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestMachine machine;
    AddGame(machine);
    if (!c.version_info) machine.SetFact("Self", "FileVersion", "");
    if (!c.lists) std::filesystem::remove(machine.HostPath("C:\\Outil\\FILESLIST.TXT"));
    TestForm t(machine);
    t.RunStartup();
    // The new-version warning comes from its own thread, before or after the error box.
    std::vector<std::string> errors;
    for (const auto& dialog : t.Dialogs()) {
      if (dialog.kind == "error") errors.push_back(dialog.text);
    }
    EXPECT_EQ(errors, std::vector<std::string>{c.error});
    app::WindowModel& w = t.window();
    EXPECT_FALSE(t.form().Stopped());
    EXPECT_FALSE(w.SpeedButton1.enabled || w.SpeedButton4.enabled);
    EXPECT_EQ(w.PanelInit.visible, c.notice_shown);
    EXPECT_TRUE(t.Screen().empty());
    EXPECT_TRUE(t.Click("SpeedButton2"));  // "Quitter" still ends the system normally
    EXPECT_TRUE(t.form().window_closed);
    EXPECT_TRUE(t.form().Stopped());
  }
}

TEST(Startup, TheHelpSwitchShowsThePanelAndTheSequenceGoesOn) {
  TestMachine machine;
  AddGame(machine);
  TestForm t(machine, {"/?", "/ini"});
  t.RunStartup();
  EXPECT_TRUE(t.window().Panel3.visible);
  EXPECT_TRUE(t.window().SpeedButton1.enabled);
  EXPECT_TRUE(t.form().options.NoIniDump);
  t.Click("Panel3");
  EXPECT_FALSE(t.window().Panel3.visible);
}

TEST(Startup, TheUpdateGateStopsTheSystemDuringTheStartup) {
  TestMachine machine;
  AddGame(machine,
          "\xB5"
          "16");
  TestForm t(machine);
  t.RunStartup();
  EXPECT_TRUE(t.form().Stopped());
  EXPECT_FALSE(t.window().SpeedButton1.enabled);
  const std::string text = LastBoxBesideTheVersionWarning(t).text;
  EXPECT_NE(text.find("Veuillez mettre à jour QUORVEL"), std::string::npos);
  EXPECT_TRUE(machine.Exists("C:\\Outil\\mes notes.txt"));
}

TEST(Startup, NoGameFolderStopsAtTheFolderGate) {
  TestMachine machine;
  machine.AddTextFile("C:\\Outil\\FILESLIST.TXT", "a\r\n");
  TestForm t(machine);
  t.RunStartup();
  EXPECT_TRUE(t.form().Stopped());
  const auto box = LastBoxBesideTheVersionWarning(t);
  ASSERT_EQ(box.kind, "plain");
  EXPECT_NE(box.text.find("Chemin trouvé : \\\r"), std::string::npos);
  EXPECT_TRUE(t.Screen().empty());
}

// The digests are computed beside the user-interface thread; an analysis
// started as soon as the buttons are enabled still reports what they found.
TEST(Startup, AnAnalysisRightAfterTheStartupSeesTheIntegrityCheck) {
  TestMachine machine;
  AddGame(machine);
  machine.AddTextFile("C:\\Jeux\\RBR\\QUORVEL\\Config_P.ini", "");
  // A library long to hash (sparse on disk) and no digest list: it is corrupt.
  machine.AddFile("C:\\Jeux\\RBR\\QDsys.dll", "");
  std::filesystem::resize_file(machine.HostPath("C:\\Jeux\\RBR\\QDsys.dll"), 512u << 20);
  TestForm t(machine);
  t.RunStartup();
  ASSERT_TRUE(t.Click("SpeedButton1"));
  const auto& screen = t.Screen();
  EXPECT_NE(std::find(screen.begin(), screen.end(), "Fichier QDsys.dll corrompu"), screen.end());
  EXPECT_TRUE(t.form().CorruptionFound);
}

// A gate on the hashing: reads of the library stop after its first chunk
// until the test opens the gate, so the analysis meets hashing under way.
class Gate {
 public:
  void Reach() {
    std::unique_lock lock(mutex_);
    reached_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_; });
  }
  void WaitUntilReached() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return reached_; });
  }
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool open_ = false;
};

class GatedFile : public platform::File {
 public:
  GatedFile(std::unique_ptr<platform::File> inner, Gate& gate)
      : inner_(std::move(inner)), gate_(gate) {}
  platform::Result<std::size_t> Read(void* buffer, std::size_t size) override {
    if (reads_++ == 1) gate_.Reach();
    return inner_->Read(buffer, size);
  }
  platform::Result<std::size_t> Write(const void* data, std::size_t size) override {
    return inner_->Write(data, size);
  }
  platform::Result<std::uint64_t> Seek(std::int64_t offset, platform::SeekOrigin origin) override {
    return inner_->Seek(offset, origin);
  }
  platform::Result<std::uint64_t> Size() override { return inner_->Size(); }
  platform::Status SetLastWriteTime(platform::FileTime time) override {
    return inner_->SetLastWriteTime(time);
  }

 private:
  std::unique_ptr<platform::File> inner_;
  Gate& gate_;
  int reads_ = 0;
};

// The machine's files, but for the library's reads, which pass the gate.
class GatedFiles : public platform::FileSystem {
 public:
  GatedFiles(platform::FileSystem& inner, Gate& gate) : inner_(inner), gate_(gate) {}
  std::optional<std::uint32_t> GetAttributes(std::string_view path) override {
    return inner_.GetAttributes(path);
  }
  platform::EntryType TypeOf(std::string_view path) override { return inner_.TypeOf(path); }
  platform::Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    return inner_.SetAttributes(path, attributes);
  }
  platform::Result<std::vector<platform::FindEntry>> FindFiles(std::string_view pattern) override {
    return inner_.FindFiles(pattern);
  }
  platform::Status MoveFile(std::string_view from, std::string_view to) override {
    return inner_.MoveFile(from, to);
  }
  platform::Status DeleteSilently(std::string_view pattern) override {
    return inner_.DeleteSilently(pattern);
  }
  platform::Status RemoveFile(std::string_view path) override { return inner_.RemoveFile(path); }
  platform::Status CreateDirectory(std::string_view path) override {
    return inner_.CreateDirectory(path);
  }
  platform::Result<std::unique_ptr<platform::File>> OpenFile(std::string_view path,
                                                             platform::OpenMode mode,
                                                             std::uint32_t attributes) override {
    auto file = inner_.OpenFile(path, mode, attributes);
    if (!file || !path.ends_with("\\QDsys.dll") || mode != platform::OpenMode::kRead) return file;
    return std::unique_ptr<platform::File>(std::make_unique<GatedFile>(std::move(*file), gate_));
  }
  std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
  platform::Status SetCurrentDirectory(std::string_view path) override {
    return inner_.SetCurrentDirectory(path);
  }
  platform::Result<platform::DiskSpace> GetDiskFreeSpace(std::string_view root) override {
    return inner_.GetDiskFreeSpace(root);
  }
  bool IsFixedDrive(std::string_view root) override { return inner_.IsFixedDrive(root); }

 private:
  platform::FileSystem& inner_;
  Gate& gate_;
};

// An analysis clicked while the digests are still being computed waits for
// them with the window live: its events are processed, the analysis gauge
// shows the hashing, and a click then neither starts a second analysis nor
// lets the closed window's analysis go on.
TEST(Startup, TheAnalysisWaitsForTheDigestsWithTheWindowLive) {
  const struct {
    const char* click;  // during the wait
    bool report_closed;
  } cases[] = {{"SpeedButton4", true}, {"SpeedButton1", true}, {"SpeedButton2", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.click);
    TestMachine machine;
    AddGame(machine);
    machine.AddTextFile("C:\\Jeux\\RBR\\QUORVEL\\Config_P.ini", "");
    // Two 4 MiB chunks (sparse on disk), and no digest list: it is corrupt.
    machine.AddFile("C:\\Jeux\\RBR\\QDsys.dll", "");
    std::filesystem::resize_file(machine.HostPath("C:\\Jeux\\RBR\\QDsys.dll"), 8u << 20);
    Gate gate;
    TestForm t(machine, {}, [&](platform::FileSystem& files) {
      return std::make_unique<GatedFiles>(files, gate);
    });
    struct Opener {  // the workers end before the form does, whatever fails
      Gate& gate;
      ~Opener() { gate.Open(); }
    } opener{gate};
    t.RunStartup();
    ASSERT_TRUE(t.window().SpeedButton1.enabled);
    gate.WaitUntilReached();  // half the library hashed, the rest held back

    struct Seen {
      int ticks = 0;
      int position = -1, max = -1;
    } seen;
    const int probe = t.loop().AddTimer(10, true, [&] {
      if (seen.ticks++ > 0) return;
      seen.position = t.window().Gauge1.position;
      seen.max = t.window().Gauge1.max;
      t.form().Click(c.click);
      gate.Open();
    });
    t.loop().SetTimerEnabled(probe, true);
    t.Click("SpeedButton1");
    t.loop().SetTimerEnabled(probe, false);

    EXPECT_GE(seen.ticks, 1);                // events processed during the wait
    EXPECT_EQ(seen.position * 2, seen.max);  // the gauge at the hashing's half
    const auto& screen = t.Screen();
    EXPECT_EQ(std::count(screen.begin(), screen.end(), "Fichier QDsys.dll corrompu"),
              c.report_closed ? 1 : 0);
    const auto& forum = t.Forum();  // the totals come before the wait, once
    EXPECT_EQ(std::count_if(forum.begin(), forum.end(),
                            [](const std::string& line) {
                              return line.starts_with("Aucun fichier ou dossier nécessaire");
                            }),
              1);
    EXPECT_EQ(t.Clipboard().empty(), !c.report_closed);
    EXPECT_EQ(t.form().Stopped(), !c.report_closed);
    EXPECT_EQ(t.window().Gauge1.position, t.window().Gauge1.max);  // the check list's, again
  }
}

}  // namespace
}  // namespace test
