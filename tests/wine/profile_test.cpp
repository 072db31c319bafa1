// The simulated machine's profile strings against Wine's GetPrivateProfileStringA
// and WritePrivateProfileStringA: tricky INI files in the run's Wine prefix, a
// table of reads and writes, and both must give the same answers and leave the
// same bytes.
//
// Left out, where Wine 8 answers otherwise than Windows (the simulated machine
// follows Windows): a default of blanks only (Windows strips them all, Wine
// keeps one), a quoted value whose closing quote is cut by the buffer (Wine
// loses one more character), keys before the first section (Windows does not
// find them through the A function), letter case of accented names (Windows
// folds É and é together) and writes into files with blank lines or indented
// keys (Wine rewrites the whole file, Windows keeps the rest as it was).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/prefix_files.h"
#include "platform/posix/prefix_profile.h"
#include "platform/text.h"
#include "tests/wine/probes/probe_text.h"
#include "tests/wine/wine_shell.h"

namespace {

using namespace wine_test;

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string Field(const std::string& text) { return probe::Escape(text, false); }

struct Read {
  std::string file;  // below the test folder
  std::string section, key, fallback;
  std::size_t size;
};

struct Write {
  std::string file;  // below the test folder; made from `before` for each side
  std::string before;
  std::string section, key, value;
};

TEST(ProfileStringsAgainstWine, SameReadsAndWrites) {
  const char* prefix = std::getenv("REMEDOR_WINEPREFIX");
  if (!prefix || !*prefix) GTEST_SKIP() << "REMEDOR_WINEPREFIX is not set";
  const fs::path folder = fs::path(prefix) / "drive_c" / "remedor-ini-test";
  fs::remove_all(folder);
  fs::create_directories(folder);

  const std::vector<std::pair<std::string, std::string>> files = {
      {"tricky.ini",
       "[Settings]\r\nKey=Value\r\n  Spaced  =   some value here   \r\n\tTabbed\t=\tv\t\r\n"
       "quoted=\"val2\"\r\nsq='x'\r\nmixed=\"y'\r\nlone=\"\r\nempty=\r\nnoeq\r\nnoeq=hidden\r\n"
       "dup=first\r\ndup=second\r\n;comment=c\r\n  [ Other ]  \r\nk=o\r\n[settings]\r\nlater=1\r\n"
       "[A]b]\r\nz=1\r\n[sec] trailing\r\nt=2\r\n[nobracket\r\nnb=3\r\nnbsp=\xA0v\xA0\r\n"
       " =blank\r\nfe=\xE9t\xE9\r\nlong=" +
           std::string(300, 'x') + "\r\nctl=\x0Bv\x0C\x1A\r\nnul=a\0b\r\n"s},
      {"cr.ini", "[S]\rk=v\rk2=v2"},
      {"lf.ini", "[S]\nk=v\nk2=v2\n"},
      {"mixed.ini", "[S]\rk=v\r\nother=1\n"},
      {"bom.ini", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9t\xC3\xA9\r\nz=\xE2\x82\xAC\r\n"},
  };
  for (const auto& [name, bytes] : files) std::ofstream(folder / name, std::ios::binary) << bytes;

  const std::string base = "C:\\remedor-ini-test\\";
  std::vector<Read> reads;
  for (const char* key : {"Key", "KEY", "Spaced", "Tabbed", "quoted", "sq", "mixed", "lone",
                          "empty", "noeq", "dup", ";comment", "later", "missing"}) {
    reads.push_back({"tricky.ini", "settings", key, "def", 256});
  }
  for (const char* key : {"nb", "nbsp", "", "fe", "long", "ctl", "nul"}) {
    reads.push_back({"tricky.ini", "sec", key, "def", 256});
  }
  const std::vector<Read> more = {
      {"tricky.ini", "Other", "k", "def", 256},
      {"tricky.ini", "A]b", "z", "def", 256},
      {"tricky.ini", "A", "z", "def", 256},
      {"tricky.ini", "nobracket", "nb", "def", 256},
      {"tricky.ini", "sec", "long", "def", 10},
      {"tricky.ini", "Settings", "missing", "default  ", 256},
      {"tricky.ini", "Settings", "missing", "\"q\"", 256},
      {"tricky.ini", "Settings", "missing", "\tdef\t", 256},
      {"tricky.ini", "Settings", "missing", "abcdef", 4},
      {"tricky.ini", "Settings", "Key", "def", 1},
      {"tricky.ini", "Settings", "quoted", "def", 6},
      {"tricky.ini", "Settings", "quoted", "def", 4},
      {"tricky.ini", "Settings", "empty", " ", 256},
      {"cr.ini", "S", "k2", "def", 256},
      {"lf.ini", "S", "k2", "def", 256},
      {"mixed.ini", "S", "k", "def", 256},
      {"mixed.ini", "S", "other", "def", 256},
      {"bom.ini", "S", "k", "def", 256},
      {"bom.ini", "S", "z", "def", 256},
      {"none.ini", "S", "k", "def", 256},
      {"", "S", "k", "def", 256},  // the Windows folder's win.ini: no such section
  };
  reads.insert(reads.end(), more.begin(), more.end());

  const std::vector<Write> writes = {
      {"w-new.ini", "", "App", "key", "string"},
      {"w-append.ini", "[App]\r\nkey1=string1\r\n", "App", "key2", "string2"},
      {"w-section.ini", "[App1]\r\nkey1=string1\r\n", "App2", "key2", "string2"},
      {"w-replace.ini", "; c\r\n[App]\r\nkey=old\r\nother=1\r\n[Next]\r\nn=1\r\n", "app", "KEY",
       "new"},
      {"w-noend.ini", "[App]\r\nx=1", "App", "y", "2"},
      {"w-accent.ini", "[App]\r\n", "App", "fe", "été"},
  };

  std::string input;
  for (const Read& r : reads) {
    const std::string file = r.file.empty() ? "win.ini" : base + r.file;
    input += "R\t" + Field(file) + "\t" + Field(r.section) + "\t" + Field(r.key) + "\t" +
             Field(r.fallback) + "\t" + std::to_string(r.size) + "\n";
  }
  for (const Write& w : writes) {
    if (!w.before.empty()) std::ofstream(folder / w.file, std::ios::binary) << w.before;
    std::ofstream(folder / ("ours-" + w.file), std::ios::binary) << w.before;
    if (w.before.empty()) fs::remove(folder / w.file);
    input += "W\t" + Field(base + w.file) + "\t" + Field(w.section) + "\t" + Field(w.key) + "\t" +
             Field(w.value) + "\n";
  }
  std::ofstream(folder / "input.txt", std::ios::binary) << input;
  const std::vector<std::string> wine = RunProbe(prefix, "ini_probe.exe", base + "input.txt");
  ASSERT_EQ(wine.size(), reads.size() + writes.size()) << "the probe did not answer everything";

  platform::posix::PrefixFileSystem filesystem(prefix);
  platform::posix::PrefixProfileStrings profile(filesystem);
  for (std::size_t i = 0; i < reads.size(); ++i) {
    const Read& r = reads[i];
    const std::string file = r.file.empty() ? "win.ini" : base + r.file;
    const std::string ours = profile.GetString(r.section, r.key, r.fallback, r.size, file);
    EXPECT_EQ(std::to_string(platform::Utf8Length(ours)) + "\t" + Field(ours), wine[i])
        << "[" << r.section << "] " << r.key << " in " << file << " (buffer " << r.size << ")";
  }
  for (std::size_t i = 0; i < writes.size(); ++i) {
    const Write& w = writes[i];
    const fs::path ours_file = folder / ("ours-" + w.file);
    if (w.before.empty()) fs::remove(ours_file);
    const bool written =
        profile.WriteString(w.section, w.key, w.value, base + "ours-" + w.file).ok();
    std::ifstream in(ours_file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(std::string(written ? "1" : "0") + "\t" + probe::Escape(bytes, true),
              wine[reads.size() + i])
        << w.file;
  }
  fs::remove_all(folder);
}

}  // namespace
