// Captions, keys, the report closing and the exports, on a test machine.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/text.h"
#include "survey/processes.h"
#include "tests/test_machine.h"

namespace test {
namespace {

TEST(Captions, TheLocaleOnlyDecidesStepOneThenTheToggleRules) {
  TestMachine machine;
  machine.SetFact("Locale", "LanguageName", "français");
  TestForm t(machine);
  TForm1& form = t.form();
  form.InstallFolder = "C:\\Jeux\\RBR\\";
  form.ApplyLocaleCaptions();
  EXPECT_EQ(t.window().SpeedButton2.caption, "Exit");
  form.ApplyCaptions();
  EXPECT_EQ(t.window().SpeedButton2.caption, "Quitter");
  EXPECT_EQ(t.window().LabelInstallFolder.caption,
            "Richard Burns Rally est installé dans : C:\\Jeux\\RBR\\");
}

TEST(Captions, TheToggleSwitchesEveryTextAndBack) {
  TestMachine machine;
  TestForm t(machine);
  TForm1& form = t.form();
  form.InstallFolder = "C:\\Jeux\\RBR\\";
  form.SoundTestCount = 12;
  form.ApplyCaptions();
  app::WindowModel& w = t.window();
  EXPECT_TRUE(t.Click("language"));
  EXPECT_TRUE(w.language.checked);
  EXPECT_EQ(form.language, UiLanguage::kEnglish);
  EXPECT_EQ(w.LabelInstallFolder.caption, "Richard Burns Rally is installed in : C:\\Jeux\\RBR\\");
  EXPECT_EQ(w.LabelReport.caption, "Repport of analysis");
  EXPECT_EQ(w.Gauge2.caption, "Finished, 12 tests has been made on sound files");
  EXPECT_EQ(form.sound_suffix, " tests of sound files");
  EXPECT_EQ(w.Championnat.caption, "Corvane Championship");
  EXPECT_EQ(w.bButton9.caption, "reset");
  EXPECT_TRUE(w.MemoHelpEn.visible);
  EXPECT_FALSE(w.MemoHelpFr.visible);
  EXPECT_EQ(w.LabelHeadline.caption,
            "No such file or folder strictly necessary for the functioning of QUORVEL is missing.");
  EXPECT_EQ(w.LabelDetail.caption,
            "For more information, see the list below (sorry, only in french)");
  EXPECT_TRUE(t.Click("language"));
  EXPECT_EQ(w.LabelInstallFolder.caption,
            "Richard Burns Rally est installé dans : C:\\Jeux\\RBR\\");
  EXPECT_EQ(w.Gauge2.caption, "Terminé, 12 tests effectués sur les fichiers son.");
  EXPECT_EQ(w.CBBoutonGenerer.caption,
            "Activer le bouton pour \"Générer un fichier texte avec les résultats\"");
  EXPECT_EQ(w.LabelHeadline.caption,
            "Aucun fichier ou dossier strictement nécessaire au bon fonctionnement de QUORVEL "
            "n'est manquant.");
  EXPECT_EQ(w.bButton7.hint,
            "Réinitialise la position des différentes fenêtres des interfaces, vous pourrez "
            "choisir l'interface à réinitialiser");
}

TEST(Captions, TheRepairButtonsKeepTheirHintsInBothLanguages) {
  TestMachine machine;
  TestForm t(machine);
  t.form().ApplyCaptions();
  const app::WindowModel& w = t.window();
  for (const bool english : {false, true}) {
    if (english) {
      ASSERT_TRUE(t.Click("language"));
    }
    EXPECT_EQ(w.BoutonCorriger.hint,
              "Certain dossiers de de textures de QUORVEL ne portent pas le bon nom. Cliquez sur "
              "ce bouton pour corriger les noms de ces dossiers.");
    EXPECT_EQ(w.bButton6.hint,
              "Désactive l'utilisation de Zazozi Zovodad dans le cas  ou Corvane ne s'affiche "
              "pas.");
    EXPECT_EQ(w.bButton8.hint, "Active la synchronisation avec un serveur de temps internet.");
  }
}

TEST(Keys, OnlyAltF1EnablesTheTextureRepair) {
  struct Case {
    int key;
    bool shift, ctrl, alt, enables;
  };
  const Case cases[] = {{0x70, false, false, true, true},
                        {0x70, false, true, true, false},
                        {0x70, true, false, true, false},
                        {0x70, false, false, false, false},
                        {0x71, false, false, true, false}};
  for (const Case& c : cases) {
    TestMachine machine;
    TestForm t(machine);
    t.form().FormKeyDown(c.key, c.shift, c.ctrl, c.alt);
    EXPECT_EQ(t.window().BoutonCorriger.enabled, c.enables) << c.key << c.ctrl << c.alt;
  }
}

TEST(Clicks, DisabledHiddenOrPanelledControlsIgnoreThem) {
  TestMachine machine;
  TestForm t(machine);
  app::WindowModel& w = t.window();
  EXPECT_FALSE(t.Click("NoSuchControl"));
  // The unlock box sits in the hidden help panel.
  EXPECT_TRUE(t.Click("CBBoutonGenerer"));
  EXPECT_FALSE(w.CBBoutonGenerer.checked);
  EXPECT_TRUE(t.Click("ButtonHelp"));
  EXPECT_TRUE(w.PanelHelp.visible);
  for (bool expected : {true, false, true}) {
    t.Click("CBBoutonGenerer");
    EXPECT_EQ(w.CBBoutonGenerer.checked, expected);
    EXPECT_EQ(w.SpeedButton3.enabled, expected);
  }
  t.Click("bButton4");
  EXPECT_FALSE(w.PanelHelp.visible);
  w.Panel3.visible = true;
  t.Click("Memo2");
  EXPECT_FALSE(w.Panel3.visible);
}

TEST(ReportClosing, DatesCountsJoinsAndCopies) {
  TestMachine machine;
  machine.SetFact("Locale", "DateSeparator", "-");
  machine.SetFact("Locale", "TimeSeparator", ".");
  TestForm t(machine);
  TForm1& form = t.form();
  form.ApplyCaptions();
  form.report.AppendPair("A", "A");
  form.report.AppendPair("b", "  Fichier manquant : b");
  form.report.AppendForum("\tpas un problème");
  form.window.CheckList.assign(7, {"x", false});
  form.CloseReport();
  const std::string date = "*** Rapport généré le vendredi 15-03-2024 à 21.04.05 ***";
  EXPECT_EQ(t.Screen().back(), date);
  EXPECT_EQ(t.Forum().back(), date);
  EXPECT_EQ(form.report.ProblemCount, 1);
  EXPECT_EQ(t.Clipboard(),
            "[quote]A[br][/br]   Fichier manquant : b[br][/br] \tpas un "
            "problème[br][/br] " +
                date + "[/quote]");
  app::WindowModel& w = t.window();
  EXPECT_EQ(w.LabelChecked.caption, "La présence de 7 fichiers ou dossiers a été vérifiée");
  EXPECT_EQ(w.LabelHeadline.caption,
            "1 problème a été détecté, le bon fonctionnement de QUORVEL est compromis");
  EXPECT_EQ(w.LabelDetail.caption, "Pour plus de précisions, voir la liste ci-dessous");
  EXPECT_EQ(w.summary_scheme, app::SummaryScheme::kRed);
  EXPECT_TRUE(w.PanelSummary.visible && w.AnimationProblem.visible && !w.AnimationClean.visible);
  // The paste instructions blink every 500 ms, red on white first.
  EXPECT_FALSE(w.paste_inverted);
  t.Wait(499);
  EXPECT_FALSE(w.paste_inverted);
  t.Wait(1);
  EXPECT_TRUE(w.paste_inverted);
  t.Wait(500);
  EXPECT_FALSE(w.paste_inverted);
  // The language switch rebuilds the checked count from the saved number.
  t.Click("language");
  EXPECT_EQ(w.LabelChecked.caption, "The presence of 7 files or folders have been checked");
}

TEST(ReportClosing, ACleanReportIsGreenAndStillCopied) {
  TestMachine machine;
  TestForm t(machine);
  t.form().ApplyCaptions();
  t.form().CloseReport();
  EXPECT_EQ(t.window().summary_scheme, app::SummaryScheme::kGreen);
  EXPECT_EQ(t.window().LabelDetail.caption, "");
  EXPECT_EQ(t.window().LabelHeadline.caption,
            "Aucun fichier ou dossier nécessaire au bon fonctionnement de QUORVEL n'est manquant.");
  EXPECT_EQ(t.Clipboard().rfind("[quote]*** Rapport généré le ", 0), 0u);
}

TEST(Export, TheResultsFileIsWindows1252WithCrLfAndReplaced) {
  TestMachine machine;
  machine.AddTextFile("C:\\Outil\\ListeDesFichiersManquants.txt", "ancien contenu plus long\r\n");
  TestForm t(machine);
  t.form().report.AppendBoth("Version de l'utilitaire de dépannage : 8.36.0");
  t.form().report.AppendScreen("");
  t.form().SpeedButton3Click();
  EXPECT_EQ(machine.ReadFile("C:\\Outil\\ListeDesFichiersManquants.txt"),
            "Version de l'utilitaire de d\xE9pannage : 8.36.0\r\n\r\n");
  ASSERT_EQ(t.Events().size(), 1u);
  EXPECT_EQ(t.Events()[0].event, "folder");
  EXPECT_EQ(t.Events()[0].detail, "C:\\Outil\\");
}

TEST(Export, AnEmptyReportWritesTheShortFileInTheCurrentFolder) {
  TestMachine machine;
  machine.AddFolder("C:\\Jeux\\RBR");
  TestForm t(machine);
  ASSERT_TRUE(t.os().files().SetCurrentDirectory("C:\\Jeux\\RBR"));
  t.form().SpeedButton3Click();
  EXPECT_EQ(machine.ReadFile("C:\\Jeux\\RBR\\ListeDesFichiersManquants.txt"),
            "Module de d\xE9pannage de QUORVEL.\r\n \r\nAucun fichier manquant\r\n \r\nFichier "
            "g\xE9n\xE9r\xE9 le vendredi 15/03/2024 \xE0 21:04:05\r\n");
}

TEST(Export, AFileThatCannotBeWrittenShowsTheErrorAndOpensNoFolder) {
  TestMachine machine;
  machine.AddFolder("C:\\Outil\\ListeDesFichiersManquants.txt");  // a folder in the way
  TestForm t(machine);
  t.form().report.AppendBoth("ligne");
  t.form().window.SpeedButton3.enabled = true;
  t.Click("SpeedButton3");
  ASSERT_EQ(t.Dialogs().size(), 1u);
  EXPECT_EQ(t.Dialogs()[0].kind, "error");
  EXPECT_EQ(t.Dialogs()[0].text, "Cannot create file C:\\Outil\\ListeDesFichiersManquants.txt");
  EXPECT_TRUE(t.Events().empty());
}

TEST(Export, ADoubleClickCopiesTheScreenViewAndTheNoticeGoesAfterTwoSeconds) {
  TestMachine machine;
  TestForm t(machine);
  t.form().report.AppendScreen("un");
  t.form().report.AppendScreen("deux");
  t.form().ListBox2DblClick();
  EXPECT_EQ(t.Clipboard(), "un\r\ndeux");
  EXPECT_TRUE(t.window().PanelCopy.visible);
  t.Wait(1999);
  EXPECT_TRUE(t.window().PanelCopy.visible);
  t.Wait(1);
  EXPECT_FALSE(t.window().PanelCopy.visible);
  EXPECT_FALSE(t.loop().TimerEnabled(t.form().Timer2));
}

TEST(HelpPanel, HoldsFortyFrenchAndThirtyEightEnglishLines) {
  TestMachine machine;
  TestForm t(machine);
  t.form().SupportedUpdate = "15";
  t.form().ApplyHelpTexts();
  const std::vector<std::string> french = platform::SplitLines(t.window().MemoHelpFr.caption);
  EXPECT_EQ(french.size(), 40u);
  EXPECT_EQ(platform::SplitLines(t.window().MemoHelpEn.caption).size(), 38u);
  EXPECT_EQ(french.at(1), "Update de QUORVEL pris en charge : 15");
}

TEST(Processes, SortedWithoutTheIdleProcessAndMatchedByFileName) {
  TestMachine machine;
  machine.AddProcess("svchost.exe", 12);
  machine.AddProcess("C:\\Jeux\\Corvane\\CorvanePublic.exe", 3);
  machine.AddProcess("Explorer.EXE", 32);
  machine.AddProcess("svchost.exe", 9);
  machine.AddProcess("CorvaneAlone.exe.bak", 1);
  TestForm t(machine);
  EXPECT_EQ(t.form().RefreshProcesses(), 5);
  EXPECT_EQ(t.form().ProcessList,
            (std::vector<std::string>{"C:\\Jeux\\Corvane\\CorvanePublic.exe ( 3 )",
                                      "CorvaneAlone.exe.bak ( 1 )", "Explorer.EXE ( 32 )",
                                      "svchost.exe ( 12 )", "svchost.exe ( 9 )"}));
  EXPECT_TRUE(t.form().IsProcessRunning("corvanepublic.exe"));
  EXPECT_FALSE(t.form().IsProcessRunning("CorvaneAlone.exe"));
}

}  // namespace
}  // namespace test
