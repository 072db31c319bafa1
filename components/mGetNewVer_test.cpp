#include "components/mGetNewVer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "platform/posix/posix_platform.h"
#include "tests/fixtures/http_server.h"

namespace new_version {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(NewVersionWeighing, ComparesPublishedWithOwn) {
  struct Case {
    const char* published;
    const char* own;
    Comparison expected;
  } cases[] = {
      {"8.37.0.0", "8.36.0.0", Comparison::kNewer},
      {"8.36.0.0", "8.36.0.0", Comparison::kNotNewer},
      {"8.35.9.9", "8.36.0.0", Comparison::kNotNewer},
      {"9.0.0.0", "8.99.99.99", Comparison::kNewer},
      {"8.1.0.0", "8.0.100.0", Comparison::kNotNewer},    // 100 × 100 = 1 × 10,000
      {"8.36.0.100", "8.36.0.99", Comparison::kNewer},    // no carrying
      {"8.36.0.0.1", "8.36.0.0", Comparison::kNotNewer},  // only four parts weigh
      {"8.37.0.0.x", "8.36.0.0", Comparison::kMalformed},
      {"", "8.36.0.0", Comparison::kNotNewer},  // no dot
      {"837", "8.36.0.0", Comparison::kNotNewer},
      {"8.37.0.0", "", Comparison::kNotNewer},
      {"8.37", "8.36.0.0", Comparison::kMalformed},  // two parts
      {"8.37.0.0", "8.36", Comparison::kMalformed},
      {"8.37..0", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.0 ", "8.36.0.0", Comparison::kMalformed},  // blanks are not digits
      {"8. 37.0.0", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.a", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.$A", "8.36.0.0", Comparison::kMalformed},  // hexadecimal is not decimal
      {"+8.37.0.0", "8.36.0.0", Comparison::kNewer},      // a sign, as StrToInt takes it
      {"-9.0.0.0", "8.36.0.0", Comparison::kNotNewer},
      {"+-9.0.0.0", "8.36.0.0", Comparison::kMalformed},
      {"8.37.0.99999999999", "8.36.0.0", Comparison::kMalformed},  // beyond 32 bits
      // 2148 × 1,000,000 wraps past 2^31 to a negative weight.
      {"2148.0.0.0", "8.36.0.0", Comparison::kNotNewer},
      {"2147.0.0.0", "8.36.0.0", Comparison::kNewer},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComparePublished(c.published, c.own), c.expected)
        << c.published << " against " << c.own;
  }
}

TEST(NewVersionWeighing, WrapsAsThirtyTwoBitArithmetic) {
  EXPECT_EQ(VersionWeight("8.36.0.0"), 8'360'000);
  EXPECT_EQ(VersionWeight("2147.48.36.47"), 2'147'483'647);
  EXPECT_EQ(VersionWeight("2147.48.36.48"), -2'147'483'647 - 1);
  EXPECT_EQ(VersionWeight("2147483647.2147483647.2147483647.2147483647"),
            static_cast<std::int32_t>(0x7FFFFFFFu * 1'010'101u));
  EXPECT_EQ(VersionWeight("-2147483648.0.0.0"), 0);
}

TEST(NewVersionWeighing, OnlyWebAddressesGoToTheBrowser) {
  for (const char* address :
       {"https://remedor.example.org/Remedor.zip", "http://example.org/x", "HTTPS://EXAMPLE.ORG"}) {
    EXPECT_TRUE(IsWebAddress(address)) << address;
  }
  for (const char* address :
       {"", "https://", "file:///C:/windows/system32/cmd.exe", "C:\\windows\\system32\\cmd.exe",
        "cmd.exe /c del C:\\", "javascript:alert(1)", " https://example.org",
        "https://example.org/a b", "https://example.org/\r\nx", "ftp://example.org/x"}) {
    EXPECT_FALSE(IsWebAddress(address)) << address;
  }
}

// The component end to end: a simulated machine, a version file served over
// HTTP on 127.0.0.1, the test's thread as the user-interface thread.
class RecordingUi final : public platform::UserInterface {
 public:
  platform::MessageAnswer ShowMessage(platform::MessageKind kind, std::string_view text) override {
    messages.emplace_back(kind, std::string(text));
    return kind == platform::MessageKind::kConfirmation ? confirmation_answer
                                                        : platform::MessageAnswer::kOk;
  }
  std::optional<std::string> AskOpenFile(const platform::OpenFileRequest&) override {
    return std::nullopt;
  }
  void SetClipboardText(std::string_view) override {}

  platform::MessageAnswer confirmation_answer = platform::MessageAnswer::kNo;
  std::vector<std::pair<platform::MessageKind, std::string>> messages;
};

// Work posted to the user-interface thread, run when the test says so.
class UiQueue {
 public:
  void Post(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    posted_.notify_all();
  }
  // Waits for one task and runs it here; false when none came in time.
  bool RunNext(std::chrono::milliseconds timeout) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      if (!posted_.wait_for(lock, timeout, [this] { return !tasks_.empty(); })) return false;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

constexpr char kDownloadAddress[] = "https://remedor.example.org/Remedor.zip";

std::string VersionFile(std::string_view version, std::string_view address = kDownloadAddress) {
  return "[CurrentVersions]\r\nRemedor.exe=" + std::string(version) +
         "\r\n[DownloadURL]\r\nRemedor.exe=" + std::string(address) + "\r\n";
}

class NewVersionCheck : public ::testing::Test {
 protected:
  NewVersionCheck() {
    std::string pattern = (fs::temp_directory_path() / "remedor-newver-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    root_ = pattern;
    fs::create_directories(root_ / "drive_c" / "windows");
  }
  ~NewVersionCheck() override {
    component_.reset();
    platform_.reset();
    fs::remove_all(root_);
  }

  TmGetNewVer& Component(std::string_view own_version = "8.36.0.0") {
    component_.reset();
    std::ofstream(root_ / platform::posix::kMachineFactsFile)
        << "[Self]\r\nExe=C:\\Outils\\Remedor.exe\r\nFileVersion=" << own_version << "\r\n";
    auto platform = platform::posix::PosixPlatform::Open(root_);
    if (!platform) throw std::runtime_error(platform.error().Message());
    platform_ = std::move(*platform);
    platform_->posix_shell().SetDownloadLimits({2s, 500ms, 64 * 1024});
    platform_->posix_shell().SetEventHook([this](std::string kind, std::string target) {
      events_.emplace_back(std::move(kind), std::move(target));
    });
    component_ = std::make_unique<TmGetNewVer>(
        *platform_, ui_,
        [this](std::function<void()> task) {
          if (before_post_) before_post_();
          queue_.Post(std::move(task));
        },
        [this] { ++end_requests_; });
    component_->URLCurrVerFile = server_.Url("/curr_ver.txt");
    component_->TempFile = "c:\\version.txt";
    return *component_;
  }
  void Check() {
    component_->CheckNewVersion();
    ASSERT_TRUE(queue_.RunNext(10s)) << "the check never handed its result back";
  }

  fs::path root_;
  test::HttpServer server_;
  RecordingUi ui_;
  UiQueue queue_;
  std::unique_ptr<platform::posix::PosixPlatform> platform_;
  std::unique_ptr<TmGetNewVer> component_;
  std::vector<std::pair<std::string, std::string>> events_;
  int end_requests_ = 0;
  std::function<void()> before_post_;  // on the check's thread
};

using platform::MessageAnswer;
using platform::MessageKind;
using Messages = std::vector<std::pair<MessageKind, std::string>>;
using Events = std::vector<std::pair<std::string, std::string>>;

TEST_F(NewVersionCheck, OutcomesOfOneCheck) {
  const std::pair<MessageKind, std::string> question{MessageKind::kConfirmation, kNewerVersionText};
  const std::pair<MessageKind, std::string> closing{MessageKind::kInformation, kClosingText};
  const std::pair<MessageKind, std::string> warning{MessageKind::kWarning, kFetchFailedText};
  const Events opened{{"browser", kDownloadAddress}};
  struct Case {
    const char* what;
    test::HttpServer::Response served;
    MessageAnswer answer;
    Messages messages;
    Events events;
    int end_requests;
  } cases[] = {
      {"newer, yes", {200, VersionFile("8.37.0.0")}, MessageAnswer::kYes, {question}, opened, 1},
      {"newer, no", {200, VersionFile("8.37.0.0")}, MessageAnswer::kNo, {question, closing}, {}, 1},
      {"equal", {200, VersionFile("8.36.0.0")}, MessageAnswer::kYes, {}, {}, 0},
      {"older", {200, VersionFile("8.35.9.9")}, MessageAnswer::kYes, {}, {}, 0},
      {"two parts", {200, VersionFile("8.37")}, MessageAnswer::kYes, {}, {}, 0},
      {"not numbers", {200, VersionFile("8.37.0.beta")}, MessageAnswer::kYes, {}, {}, 0},
      {"no key",
       {200, "[CurrentVersions]\r\nOther.exe=9.0.0.0\r\n"},
       MessageAnswer::kYes,
       {},
       {},
       0},
      {"not a version file",
       {200, std::string("\x00\xFF<html>", 8)},
       MessageAnswer::kYes,
       {},
       {},
       0},
      {"404", {404, "not found"}, MessageAnswer::kYes, {warning}, {}, 0},
      {"no answer", {200, "", true}, MessageAnswer::kYes, {warning}, {}, 0},
      {"newer, yes, a program's path",
       {200, VersionFile("8.37.0.0", "C:\\windows\\system32\\cmd.exe")},
       MessageAnswer::kYes,
       {question, closing},
       {},
       1},
      {"newer, yes, a local file's address",
       {200, VersionFile("8.37.0.0", "file:///C:/windows/system32/cmd.exe")},
       MessageAnswer::kYes,
       {question, closing},
       {},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui_.messages.clear();
    events_.clear();
    end_requests_ = 0;
    fs::remove(root_ / "drive_c" / "version.txt");
    server_.Serve("/curr_ver.txt", c.served);
    ui_.confirmation_answer = c.answer;
    Component();
    Check();
    EXPECT_EQ(ui_.messages, c.messages);
    EXPECT_EQ(events_, c.events);
    EXPECT_EQ(end_requests_, c.end_requests);
  }
}

TEST_F(NewVersionCheck, OnGetUrlHearsTheFileBeforeTheQuestion) {
  server_.Serve("/curr_ver.txt", {200, VersionFile("8.37.0.0")});
  TmGetNewVer& component = Component();
  std::vector<std::string> heard;
  component.OnGetURL = [&](TmGetNewVer* sender, const std::string& version,
                           const std::string& address) {
    EXPECT_EQ(sender, &component);
    EXPECT_TRUE(ui_.messages.empty());
    heard = {version, address};
  };
  Check();
  EXPECT_EQ(heard, (std::vector<std::string>{"8.37.0.0", kDownloadAddress}));
  EXPECT_EQ(ui_.messages.size(), 2u);
}

TEST_F(NewVersionCheck, DialogsSwitchedOff) {
  server_.Serve("/curr_ver.txt", {200, VersionFile("8.37.0.0")});
  Component().DownloadDlg = false;
  Check();
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(end_requests_, 0);

  // A failed fetch without its warning goes on to a version file that is not
  // there (the start-up removes a left-over one): the version counts as current.
  fs::remove(root_ / "drive_c" / "version.txt");
  server_.Serve("/curr_ver.txt", {404, ""});
  Component().FailureDlg = false;
  Check();
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(end_requests_, 0);
}

TEST_F(NewVersionCheck, OwnExecutableWithoutVersionInformation) {
  server_.Serve("/curr_ver.txt", {200, VersionFile("8.37.0.0")});
  Component("");
  Check();
  EXPECT_EQ(ui_.messages, (Messages{{MessageKind::kInformation, kNoOwnVersionText}}));
  EXPECT_EQ(end_requests_, 0);
}

// A waiter that sees the check no longer under way finds its outcome posted.
TEST_F(NewVersionCheck, UnderWayUntilTheOutcomeIsPosted) {
  server_.Serve("/curr_ver.txt", {404, ""});
  TmGetNewVer& component = Component();
  EXPECT_FALSE(component.CheckUnderWay());
  std::optional<bool> under_way_while_posting;
  before_post_ = [&] { under_way_while_posting = component.CheckUnderWay(); };
  component.CheckNewVersion();
  ASSERT_TRUE(queue_.RunNext(10s));
  EXPECT_EQ(under_way_while_posting, true);
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (component.CheckUnderWay() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_FALSE(component.CheckUnderWay());
  EXPECT_EQ(ui_.messages, (Messages{{MessageKind::kWarning, kFetchFailedText}}));
}

TEST_F(NewVersionCheck, ComponentGoneBeforeTheFetchEnds) {
  server_.Serve("/curr_ver.txt", {200, "", true});
  Component().CheckNewVersion();
  component_.reset();  // waits for the fetch, drops its result
  while (queue_.RunNext(0ms)) {
  }
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace new_version
