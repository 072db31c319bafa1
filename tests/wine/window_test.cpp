// The main window as a player meets it: Remedor.exe from the Windows build
// runs under wine64 on a virtual X display (Xvfb), in a Wine prefix holding
// the sample machine (tools/make_sample_wine_prefix.py). A probe in the prefix
// answers the tool's message boxes (answer_boxes.exe); the test waits until
// "Analyse complète" is enabled, presses Alt+F1 (the texture button comes
// on), clicks the analysis button with a real mouse event (xdotool), then
// reads the summary panel's colours from a screenshot, the forum text from the
// X clipboard as Wine offers it, and clicks the button again: the report must
// not change. Only shown windows are looked at.
//
// With $REMEDOR_WINDOW_SHOT set, the window's picture
// after the analysis is saved there (docs/window.png is made so).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/window_layout.h"
#include "tests/wine/sample_prefix.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr char kMainTitle[] = "^Module de dépannage de QUORVEL";
constexpr char kBoxTitle[] = "Remedor";  // the tool's message boxes
constexpr char kToolExe[] = "C:\\users\\joueur\\Downloads\\Remedor\\Remedor.exe";

// Runs a shell command, bounded by `seconds`; its standard output.
std::string Shell(const std::string& command, int seconds = 20) {
  return CaptureOutput("timeout -k 5 " + std::to_string(seconds) + " sh -c " + ShellQuote(command));
}

bool Have(const std::string& program) {
  return !Shell("command -v " + ShellQuote(program)).empty();
}

// A child process in a process group of its own, ended with its group.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
        const fs::path& folder) {
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      const int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
      for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
      std::vector<char*> args;
      for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
  }
  ~Child() { Stop(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  void Stop() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    for (int i = 0; i < 50 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i) {
      std::this_thread::sleep_for(100ms);
    }
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// A screenshot of the whole display, as 8-bit RGB.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  struct Pixel {
    int r, g, b;
  };
  Pixel At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  bool SameArea(const Picture& other, const app::layout::Box& box, int dx, int dy) const {
    for (int y = box.top; y < box.top + box.height; ++y) {
      for (int x = box.left; x < box.left + box.width; ++x) {
        const Pixel a = At(x + dx, y + dy), b = other.At(x + dx, y + dy);
        if (a.r != b.r || a.g != b.g || a.b != b.b) return false;
      }
    }
    return true;
  }
};

// Reads a binary PPM (P6, maxval 255) as `import` writes it.
std::optional<Picture> ReadPpm(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string magic;
  int maxval = 0;
  Picture picture;
  if (!(in >> magic >> picture.width >> picture.height >> maxval) || magic != "P6" ||
      maxval != 255) {
    return std::nullopt;
  }
  in.get();
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  if (!in.read(reinterpret_cast<char*>(picture.rgb.data()),
               static_cast<std::streamsize>(picture.rgb.size()))) {
    return std::nullopt;
  }
  return picture;
}

const app::layout::Place& PlaceOf(std::string_view control) {
  const app::layout::Place* place = app::layout::Find(control);
  if (place == nullptr) throw std::logic_error("no place for a control");
  return *place;
}

class WindowUnderWine : public SamplePrefixTest {
 protected:
  WindowUnderWine() : SamplePrefixTest("window") {}

  void SetUp() override {
    SamplePrefixTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* program : {"Xvfb", "xdotool", "import", "xclip", "python3"}) {
      ASSERT_TRUE(Have(program)) << program << " is missing (./dev.sh installs it)";
    }
    tool_folder_ = prefix_ / "drive_c" / "users" / "joueur" / "Downloads" / "Remedor";

    StartDisplay();
    ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
    // Wine makes the host's current folder the program's (C:\...).
    const fs::path start_in = prefix_ / "drive_c" / StartIn();
    ASSERT_TRUE(fs::is_directory(start_in)) << start_in;
    const std::vector<std::string> environment{"DISPLAY=" + display_,
                                               "WINEPREFIX=" + prefix_.string(), "WINEDEBUG=-all"};
    answerer_ = std::make_unique<Child>(
        std::vector<std::string>{kWine, REMEDOR_PROBE_DIR "/answer_boxes.exe", kBoxTitle},
        environment, tool_folder_);
    tool_ =
        std::make_unique<Child>(std::vector<std::string>{kWine, kToolExe}, environment, start_in);
  }

  // The folder the tool is started in, below drive_c: its own, as the file
  // manager does.
  virtual std::string StartIn() const { return "users/joueur/Downloads/Remedor"; }

  void TearDown() override {
    tool_.reset();
    answerer_.reset();
    xvfb_.reset();
    SamplePrefixTest::TearDown();
  }

  // Xvfb on a display of its own: the server takes the first free number
  // itself (a check of the lock files before it starts races with every other
  // server starting) and tells it through a pipe once it listens.
  void StartDisplay() {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return;
    xvfb_ = std::make_unique<Child>(
        std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", std::to_string(pipe_ends[1]),
                                 "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        std::vector<std::string>{}, fs::path());
    close(pipe_ends[1]);
    std::string number;
    pollfd ready{pipe_ends[0], POLLIN, 0};
    char c = 0;
    while (poll(&ready, 1, 60'000) == 1 && read(pipe_ends[0], &c, 1) == 1 && c != '\n') {
      number += c;
    }
    close(pipe_ends[0]);
    if (c == '\n' && !number.empty()) display_ = ":" + number;
  }

  std::string X(const std::string& command, int seconds = 20) {
    return Shell("DISPLAY=" + display_ + " " + command, seconds);
  }

  // The main window's top left corner on the display.
  std::optional<std::pair<int, int>> WindowCorner() {
    std::istringstream ids(
        X(std::string("xdotool search --onlyvisible --name '") + kMainTitle + "'"));
    std::string id;
    if (!(ids >> id)) return std::nullopt;
    window_id_ = id;
    std::istringstream shell(X("xdotool getwindowgeometry --shell " + id));
    int x = -1, y = -1;
    for (std::string line; std::getline(shell, line);) {
      if (line.rfind("X=", 0) == 0) x = std::atoi(line.c_str() + 2);
      if (line.rfind("Y=", 0) == 0) y = std::atoi(line.c_str() + 2);
    }
    if (x < 0 || y < 0) return std::nullopt;
    return std::make_pair(x, y);
  }

  std::optional<Picture> Screenshot() {
    const fs::path file = work_ / "screen.ppm";
    fs::remove(file);
    X("import -window root -depth 8 " + ShellQuote("ppm:" + file.string()));
    return ReadPpm(file);
  }

  // Waits until `done` holds for a screenshot; false at the deadline.
  bool WaitFor(const std::function<bool(const Picture&)>& done, std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      if (const auto picture = Screenshot(); picture && corner_ && done(*picture)) return true;
      if (!corner_) corner_ = WindowCorner();
      std::this_thread::sleep_for(500ms);
    }
    return false;
  }

  // A pixel of the window, at a point given in the window's own coordinates.
  Picture::Pixel WindowPixel(const Picture& picture, int x, int y) const {
    return picture.At(corner_->first + x, corner_->second + y);
  }

  void ClickAt(const app::layout::Box& box) {
    const int x = corner_->first + box.left + box.width / 2;
    const int y = corner_->second + box.top + box.height / 2;
    X("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    // Away again, so that the next picture shows no hover.
    X("xdotool mousemove --sync 2 2");
  }

  // The display as it is now, kept after the test for a failure's message.
  std::string KeepScreenshot() {
    const std::string file = ::testing::TempDir() + "remedor-window-failure.png";
    X("import -window root " + ShellQuote(file));
    return " (the display: " + file + ")";
  }

  std::string Clipboard() { return X("xclip -o -selection clipboard", 15); }

  fs::path tool_folder_;
  std::string display_, window_id_;
  std::unique_ptr<Child> xvfb_, answerer_, tool_;
  std::optional<std::pair<int, int>> corner_;
};

// The enabled buttons are blue, the disabled ones grey (frontend/win32/window_painter.cpp).
bool LooksEnabled(Picture::Pixel p) { return p.b > 200 && p.r < 140; }

TEST_F(WindowUnderWine, FullAnalysisByMouseShowsTheRedSummaryAndFillsTheClipboard) {
  const auto& button = PlaceOf("SpeedButton4").box;
  const auto& panel = PlaceOf("PanelSummary").box;
  const auto& report = PlaceOf("ListBox2").box;
  // Near the button's top left corner: its face, clear of the caption.
  const auto button_face = [&](const Picture& p) {
    return WindowPixel(p, button.left + 10, button.top + 5);
  };
  ASSERT_TRUE(WaitFor([&](const Picture& p) { return LooksEnabled(button_face(p)); }, 240s))
      << "the start-up never enabled \"Analyse complète\"" << KeepScreenshot();

  // Alt+F1 reaches the window's key handler: the texture button comes on.
  const auto& textures = PlaceOf("BoutonCorriger").box;
  const auto texture_face = [&](const Picture& p) {
    return WindowPixel(p, textures.left + 10, textures.top + 5);
  };
  const auto before_key = Screenshot();
  ASSERT_TRUE(before_key);
  EXPECT_FALSE(LooksEnabled(texture_face(*before_key)));
  X("xdotool windowfocus --sync " + window_id_ + " key alt+F1");
  EXPECT_TRUE(WaitFor([&](const Picture& p) { return LooksEnabled(texture_face(p)); }, 20s))
      << "Alt+F1 did not enable the texture button" << KeepScreenshot();

  ClickAt(button);
  // Right of the labels, between the detail line and the paste instructions,
  // and near the panel's bottom: the summary's gradient shows there.
  const int x = panel.left + panel.width - 8;
  const auto upper = [&](const Picture& p) { return WindowPixel(p, x, panel.top + 94); };
  const auto lower = [&](const Picture& p) { return WindowPixel(p, x, panel.top + 160); };
  const auto red = [](Picture::Pixel p) { return p.r > 110 && p.g < 40 && p.b < 40; };
  ASSERT_TRUE(WaitFor([&](const Picture& p) { return red(upper(p)) && red(lower(p)); }, 300s))
      << "no red summary panel after the analysis" << KeepScreenshot();
  // The sample machine has problems: red, from #FF0000 at the top to #800000.
  const auto picture = Screenshot();
  ASSERT_TRUE(picture);
  EXPECT_GT(upper(*picture).r, lower(*picture).r) << "the red gradient darkens downwards";
  EXPECT_FALSE(LooksEnabled(button_face(*picture))) << "one analysis per run";

  const std::string forum = Clipboard();
  EXPECT_EQ(forum.rfind("[quote]", 0), 0u) << forum.substr(0, 200);
  EXPECT_NE(forum.find("[/quote]"), std::string::npos);

  if (const char* shot = std::getenv("REMEDOR_WINDOW_SHOT"); shot && *shot) {
    X("import -window " + window_id_ + " " + ShellQuote(shot));
  }

  // The button is disabled now: a second click changes neither the report
  // box (its scroll bar follows the number of lines) nor the clipboard.
  std::this_thread::sleep_for(1500ms);  // not a double click
  ClickAt(button);
  std::this_thread::sleep_for(5s);
  const auto after = Screenshot();
  ASSERT_TRUE(after);
  EXPECT_TRUE(picture->SameArea(*after, report, corner_->first, corner_->second))
      << "the report box changed after a click on the disabled button";
  EXPECT_EQ(Clipboard(), forum);
}

// Started from a shortcut whose "Start in" is another folder, or from a
// command prompt elsewhere: the tool finds its lists beside itself all the
// same, and a real click on "Analyse simple" puts the forum text on the
// clipboard.
class WindowStartedElsewhere : public WindowUnderWine {
 protected:
  std::string StartIn() const override { return "windows/system32"; }
};

TEST_F(WindowStartedElsewhere, SimpleAnalysisByMouseFillsTheClipboard) {
  const auto& button = PlaceOf("SpeedButton1").box;
  const auto button_face = [&](const Picture& p) {
    return WindowPixel(p, button.left + 10, button.top + 5);
  };
  ASSERT_TRUE(WaitFor([&](const Picture& p) { return LooksEnabled(button_face(p)); }, 240s))
      << "the start-up never enabled \"Analyse simple\"" << KeepScreenshot();
  ClickAt(button);
  const auto deadline = Clock::now() + 300s;
  std::string forum;
  while (Clock::now() < deadline && forum.rfind("[quote]", 0) != 0) {
    std::this_thread::sleep_for(1s);
    forum = Clipboard();
  }
  EXPECT_EQ(forum.rfind("[quote]", 0), 0u) << forum.substr(0, 200) << KeepScreenshot();
  EXPECT_NE(forum.find("[/quote]"), std::string::npos);
}

}  // namespace
