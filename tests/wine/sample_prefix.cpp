#include "tests/wine/sample_prefix.h"

#include <cstdlib>
#include <sstream>

#include "tests/wine/wine_shell.h"

namespace wine_test {

namespace fs = std::filesystem;

void SamplePrefixTest::SetUp() {
  const char* base = std::getenv("REMEDOR_WINEPREFIX");
  if (!base || !*base) GTEST_SKIP() << "REMEDOR_WINEPREFIX is not set";
  win_build_ = WindowsBuild();
  const fs::path exe = win_build_ / "Remedor.exe";
  ASSERT_TRUE(fs::is_regular_file(exe)) << exe << " is missing: build the Windows build first";

  std::string pattern = "/tmp/remedor-" + tag_ + "-XXXXXX";
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  work_ = pattern;
  std::string command = "timeout -k 10 600 python3 " +
                        ShellQuote(REMEDOR_SOURCE_DIR "/tools/make_sample_wine_prefix.py") + " " +
                        ShellQuote(base) + " " + ShellQuote(work_.string()) + " " +
                        ShellQuote(exe.string());
  if (!tool_place_.empty()) command += " " + ShellQuote(tool_place_);
  std::istringstream made(CaptureOutput(command));
  std::string prefix;
  std::getline(made, prefix);
  std::getline(made, tool_exe_);
  prefix_ = prefix;
  ASSERT_TRUE(fs::is_regular_file(prefix_ / "system.reg")) << "no prefix made in " << work_;
}

void SamplePrefixTest::TearDown() {
  if (!prefix_.empty()) Wine(kWineServer + std::string(" -k"));
  if (!work_.empty()) fs::remove_all(work_);
}

std::string SamplePrefixTest::Wine(const std::string& command, const fs::path& folder) const {
  return CaptureOutput("cd " + ShellQuote((folder.empty() ? work_ : folder).string()) +
                       " && env WINEDEBUG=-all WINEPREFIX=" + ShellQuote(prefix_.string()) +
                       " timeout -k 10 600 " + command);
}

}  // namespace wine_test
