// The simulated machine's directory search against Wine's FindFirstFileA /
// FindNextFileA: a folder of tricky names in the run's Wine prefix, a table of
// patterns, and both must list the same entries, in the same order, with the
// same attributes (or fail with the same error).
//
// Left out, where Wine 8 answers otherwise than Windows (the simulated machine
// follows Windows): a trailing "?" that matches nothing ("ab?" finding "ab",
// "????" finding "abc"),
// "*." and other masks ending in a dot (Wine drops the dot), "*?", dots before
// "?" at the end ("aa.?" finding "aa"), "a file\*" (Wine: ERROR_INVALID_NAME,
// Windows: ERROR_DIRECTORY); and masks that Wine also matches against the 8.3
// names it makes up ("*.htm" finding "x.html", "*b" finding a folder whose
// short name happens to end with a B).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/prefix_files.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;

namespace fs = std::filesystem;

// What the probe prints for one pattern, made from our answer.
std::string AsProbeWouldPrint(const platform::Result<std::vector<platform::FindEntry>>& found) {
  if (!found) return std::to_string(found.error().os_error);
  std::string line = "0";
  for (const platform::FindEntry& entry : *found) {
    char attributes[16];
    std::snprintf(attributes, sizeof attributes, "%x", entry.attributes);
    line += "\t" + entry.name + "/" + attributes;
  }
  return line;
}

TEST(FindFilesAgainstWine, SameEntriesOrderAndErrors) {
  const char* prefix = std::getenv("REMEDOR_WINEPREFIX");
  if (!prefix || !*prefix) GTEST_SKIP() << "REMEDOR_WINEPREFIX is not set";
  const fs::path folder = fs::path(prefix) / "drive_c" / "remedor-find-test";
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char* name :
       {"aa", "aa.txt", "AB", "a_b", "abc", "ab.c.d", ".hid.ini", "c.dll", "c.dll.bak", "zz", "Z_",
        "Éa", "été.txt", "a b", "Config_P.ini", "2_track-10_M_textures.rep",
        "12_track-10_M_textures.rep", "track-10_M_textures_old", "file"}) {
    std::ofstream(folder / name) << name;
  }
  for (const char* name : {"old.7z", "track-10_M_textures", "TRACK-11_m_TEXTURES",
                           "1_track-10_M_textures", "track-1_M_textures", "sub"}) {
    fs::create_directory(folder / name);
  }
  ::chmod((folder / "c.dll").c_str(), 0444);
  fs::create_directory_symlink(folder / "sub", folder / "link-dir");

  const std::string base = "C:\\remedor-find-test\\";
  const std::vector<std::string> patterns = {
      base + "*",
      base + "*.*",
      base + "*.*.*",
      base + "**",
      base + "?*",
      base + "aa.*",
      base + "a?",
      base + "*.dll",
      base + "c.*",
      base + "*.7z",
      base + "*.ini",
      base + "*.TXT  ",
      base + " *.txt",
      base + "*.c.d",
      base + "track-??_?_textures",
      base + "?_track-??_?_textures.rep",
      base + "CONFIG_P.INI",
      base + "ÉTÉ.TXT",
      base + "nosuch",
      base + "nosuch*",
      base + "sub\\*",
      base + "sub\\..\\aa",
      base + "link-dir",
      base + ".",
      "C:\\remedor-find-test",
      "C:\\*",  // a drive's root: no "." and ".."
      "c:/REMEDOR-FIND-TEST/zz",
      "C:\\remedor-no-such-folder\\*",
      base + "file\\x\\*",
  };
  std::string input;
  for (const std::string& pattern : patterns) input += pattern + "\n";
  std::ofstream(folder / "input.txt", std::ios::binary) << input;  // listed by both sides
  const std::vector<std::string> wine = RunProbe(prefix, "find_probe.exe", base + "input.txt");
  ASSERT_EQ(wine.size(), patterns.size()) << "the probe did not answer every pattern";

  platform::posix::PrefixFileSystem files(prefix);
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    EXPECT_EQ(AsProbeWouldPrint(files.FindFiles(patterns[i])), wine[i]) << patterns[i];
  }
  fs::remove_all(folder);
}

}  // namespace
