#include "platform/posix/posix_shell.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "platform/posix/faults.h"
#include "platform/posix/prefix_files.h"
#include "tests/fixtures/http_server.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PosixShellTest : public ::testing::Test {
 protected:
  PosixShellTest()
      : root_(MakePrefix()), files_(root_), shell_(files_, files_.faults(), Limits()) {}
  ~PosixShellTest() override { fs::remove_all(root_); }

  static fs::path MakePrefix() {
    std::string pattern = (fs::temp_directory_path() / "remedor-shell-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    fs::create_directories(fs::path(pattern) / "drive_c");
    return pattern;
  }
  static DownloadLimits Limits() {
    DownloadLimits limits;
    limits.connect_timeout = 2s;
    limits.total_timeout = 500ms;
    limits.max_bytes = 1024;
    return limits;
  }
  std::string HostFile(const char* name) {
    std::ifstream in(root_ / "drive_c" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path root_;
  PrefixFileSystem files_;
  PosixShell shell_;
  test::HttpServer server_;
};

TEST_F(PosixShellTest, DownloadLandsOnTheMachinesDrive) {
  const std::string body = "[CurrentVersions]\r\nRemedor.exe=8.37.0.0\r\n";
  server_.Serve("/curr_ver.txt", {200, body});
  ASSERT_TRUE(shell_.Download(server_.Url("/curr_ver.txt"), "C:\\version.txt").ok());
  EXPECT_EQ(HostFile("version.txt"), body);
  // An answer of exactly the bound is whole.
  server_.Serve("/full", {200, std::string(1024, 'x')});
  ASSERT_TRUE(shell_.Download(server_.Url("/full"), "C:\\full.txt").ok());
  EXPECT_EQ(HostFile("full.txt").size(), 1024u);
}

TEST_F(PosixShellTest, FailedDownloadsWriteNothing) {
  server_.Serve("/error", {500, "server error"});
  server_.Serve("/large", {200, std::string(1025, 'x')});
  server_.Serve("/silent", {200, "", true});
  // A port nobody listens on: taken from a server that is gone.
  std::string closed_port_url;
  {
    test::HttpServer gone;
    closed_port_url = gone.Url("/curr_ver.txt");
  }
  struct Case {
    const char* what;
    std::string url;
  } cases[] = {
      {"404", server_.Url("/missing")},
      {"500", server_.Url("/error")},
      {"over the size bound", server_.Url("/large")},
      {"no answer within the time bound", server_.Url("/silent")},
      {"nobody listening", closed_port_url},
      {"a local file", "file:///etc/hostname"},
      {"another protocol", "ftp://127.0.0.1/curr_ver.txt"},
      {"not an address", "C:\\version.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Status status = shell_.Download(c.url, "C:\\version.txt");
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, Errc::kIo);
    EXPECT_EQ(status.error().operation, "URLDownloadToFile");
    EXPECT_FALSE(fs::exists(root_ / "drive_c" / "version.txt"));
  }
}

TEST_F(PosixShellTest, InjectedFaultFailsTheNthDownload) {
  server_.Serve("/v", {200, "v"});
  const ScopedFault fault(files_.faults(), FaultOperation::kURLDownloadToFile, 2);
  EXPECT_TRUE(shell_.Download(server_.Url("/v"), "C:\\a.txt").ok());
  EXPECT_FALSE(shell_.Download(server_.Url("/v"), "C:\\b.txt").ok());
  EXPECT_TRUE(shell_.Download(server_.Url("/v"), "C:\\c.txt").ok());
  EXPECT_FALSE(fs::exists(root_ / "drive_c" / "b.txt"));
}

TEST_F(PosixShellTest, BrowserAndFolderAreRecordedNotStarted) {
  shell_.OpenInBrowser("https://example.org/");  // no hook yet: dropped
  std::vector<std::pair<std::string, std::string>> events;
  shell_.SetEventHook([&](std::string kind, std::string target) {
    events.emplace_back(std::move(kind), std::move(target));
  });
  shell_.OpenInBrowser("https://remedor.example.org/Remedor.zip");
  shell_.OpenFolder("C:\\Outils\\");
  EXPECT_EQ(events, (std::vector<std::pair<std::string, std::string>>{
                        {"browser", "https://remedor.example.org/Remedor.zip"},
                        {"folder", "C:\\Outils\\"}}));
}

}  // namespace
}  // namespace platform::posix
