#include <gtest/gtest.h>

#include "analysis/report.h"
#include "platform/posix/faults.h"
#include "tests/test_machine.h"

namespace {

using Lines = std::vector<std::string>;

constexpr char kEffects[] = "C:\\Jeux\\RBR\\QUORVEL\\Sounds\\Effects\\";
constexpr char kEngines[] = "C:\\Jeux\\RBR\\QUORVEL\\Sounds\\Engines\\";

std::string ForumLine(const std::string& file, int number, const std::string& line,
                      const std::string& reference) {
  return analysis::markup::Red("Fichier son inconnu dans le fichier .ini suivant : ") +
         "[br][/br]" + file + ".[br][/br]Ligne n° " + std::to_string(number) + " -> " + line +
         "[br][/br]Fichier son inconnu -> " + reference;
}

std::string ScreenLine(const std::string& file, const std::string& reference) {
  return "Fichier son inconnu dans le fichier .ini suivant : " + file +
         ". Fichier inconnu : " + reference;
}

TEST(SoundConfig, ReportsUnknownReferencesWithTheirLine) {
  test::TestMachine machine;
  // Line numbers count every line: sections, comments and blank ones.
  machine.AddTextFile(std::string(kEffects) + "fx.ini",
                      "[Horns]\r\n;comment=x\r\n\r\nok=QUORVEL\\ok\r\nbad=\tQUORVEL\\bad=extra\r\n"
                      "empty=\r\nblank= \r\n");
  machine.AddFile("C:\\Jeux\\RBR\\QUORVEL\\ok.wav", "RIFF");
  machine.AddTextFile(std::string(kEngines) + "eng.ini",
                      "[Car]\neng1=present\neng=skipped3\nengin=skipped5\n[ab]\nmot2=absent\n");
  machine.AddFile("C:\\Jeux\\RBR\\Audio\\Cars\\present.eng", "ENG");
  test::TestForm tool(machine, test::AfterStartup{});

  tool.Run(&TForm1::VerifEffects);

  const TForm1& form = tool.form();
  const std::string fx = std::string(kEffects) + "fx.ini";
  const std::string eng = std::string(kEngines) + "eng.ini";
  const std::string bad = "C:\\Jeux\\RBR\\QUORVEL\\bad.wav";
  const std::string blank = "C:\\Jeux\\RBR\\.wav";
  const std::string brackets = "C:\\Jeux\\RBR\\Audio\\Cars\\.eng";
  const std::string absent = "C:\\Jeux\\RBR\\Audio\\Cars\\absent.eng";
  EXPECT_EQ(form.report.ScreenLines, (Lines{ScreenLine(fx, bad), ScreenLine(fx, blank),
                                            ScreenLine(eng, brackets), ScreenLine(eng, absent)}));
  EXPECT_EQ(
      form.report.ForumLines,
      (Lines{ForumLine(fx, 5, "bad=\tQUORVEL\\bad=extra", bad), ForumLine(fx, 7, "blank= ", blank),
             ForumLine(eng, 5, "[ab]", brackets), ForumLine(eng, 6, "mot2=absent", absent)}));
  EXPECT_EQ(form.SoundTestCount, 6);  // ok, bad, blank; eng1, [ab], mot2
  EXPECT_EQ(form.report.ProblemCount, 4);
  EXPECT_EQ(form.MissingCount, 4);
  EXPECT_EQ(form.window.Gauge2.max, 2);
  EXPECT_EQ(form.window.Gauge2.position, 2);
  EXPECT_EQ(form.window.Gauge2.caption, "Terminé, 6 tests effectués sur les fichiers son.");
}

TEST(SoundConfig, NoConfigurationFiles) {
  test::TestMachine machine;
  test::TestForm tool(machine, test::AfterStartup{});
  tool.Run(&TForm1::VerifEffects);
  EXPECT_TRUE(tool.form().report.ScreenLines.empty());
  EXPECT_EQ(tool.form().SoundTestCount, 0);
  EXPECT_EQ(tool.form().window.Gauge2.caption, "Terminé, 0 tests effectués sur les fichiers son.");
}

// Files as players have them: binary bytes, CR-only line ends, very long
// lines, thousands of lines. Nothing is lost and nothing breaks a report line.
TEST(SoundConfig, MessyFiles) {
  test::TestMachine machine;
  const char raw[] =
      "a=QUORVEL\\b\0in\x01"
      "ary\r\x80\xff=x\r";
  const std::string binary(raw, sizeof raw - 1);
  machine.AddFile(std::string(kEffects) + "binary.ini", binary);
  machine.AddFile(std::string(kEffects) + "cr.ini", "[S]\rone=QUORVEL\\one\rtwo=QUORVEL\\two\r");
  machine.AddFile("C:\\Jeux\\RBR\\QUORVEL\\one.wav", "RIFF");
  const std::string long_name(100000, 'L');
  machine.AddFile(std::string(kEffects) + "long.ini", "k=" + long_name + "\r\n");
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "k" + std::to_string(i) + "=QUORVEL\\one\r\n";
  many += "last=QUORVEL\\gone\r\n";
  machine.AddFile(std::string(kEffects) + "many.ini", many);
  test::TestForm tool(machine, test::AfterStartup{});

  tool.Run(&TForm1::VerifEffects);

  const TForm1& form = tool.form();
  EXPECT_TRUE(tool.Messages("error").empty());
  // binary: two references, neither a file; cr: one of two missing; long: one;
  // many: the last line only.
  EXPECT_EQ(form.SoundTestCount, 2 + 2 + 1 + 5001);
  EXPECT_EQ(form.report.ProblemCount, 2 + 1 + 1 + 1);
  for (const std::string& line : form.report.ForumLines) {
    EXPECT_EQ(line.find_first_of(std::string("\0\r\n\x01", 4)), std::string::npos);
  }
  auto has = [&](const std::string& fragment) {
    for (const std::string& line : form.report.ForumLines) {
      if (line.find(fragment) != std::string::npos) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("Ligne n° 1 -> a=QUORVEL\\b?in?ary[br][/br]"));
  EXPECT_TRUE(has("Ligne n° 3 -> two=QUORVEL\\two[br][/br]"));
  EXPECT_TRUE(has("Ligne n° 1 -> k=" + long_name + "[br][/br]"));
  EXPECT_TRUE(has("Ligne n° 5001 -> last=QUORVEL\\gone[br][/br]"));
}

// A configuration file that cannot be read ends the analysis with the file error.
TEST(SoundConfig, UnreadableFileEndsTheRun) {
  test::TestMachine machine;
  machine.AddTextFile(std::string(kEffects) + "fx.ini", "a=QUORVEL\\missing\r\n");
  test::TestForm tool(machine, test::AfterStartup{});
  {
    const platform::posix::ScopedFault fault(tool.faults(),
                                             platform::posix::FaultOperation::kCreateFile, 1);
    tool.Run(&TForm1::VerifEffects);
  }
  ASSERT_EQ(tool.Messages("error").size(), 1u);
  EXPECT_TRUE(tool.Messages("error")[0].starts_with("Cannot open file "));
  EXPECT_TRUE(tool.form().report.ForumLines.empty());
}

}  // namespace
