// TForm1's captions: the two caption sets, the language toggle and the keyboard shortcut.
#include <string>

#include "app/RemedorMain.h"

namespace {

// One text of the caption sets in both languages.
struct Caption {
  const char* french;
  const char* english;
  const char* In(UiLanguage language) const {
    return language == UiLanguage::kEnglish ? english : french;
  }
};

constexpr Caption kInstallFolder{"Richard Burns Rally est installé dans : ",
                                 "Richard Burns Rally is installed in : "};
constexpr Caption kGauge1Title{"Avancement de l'analyse", "Progress of the analysis"};
constexpr Caption kGauge2Title{"Analyse des fichiers sons", "Analysis of sound files"};
constexpr Caption kCheckListTitle{"Liste des fichiers qui seront vérifiés (ne rien cocher)",
                                  "List of files that are checked (do not check the boxes)"};
constexpr Caption kReportTitle{"Rapport d'analyse :", "Repport of analysis"};
constexpr Caption kProcessOption{"Inclure la liste des processus en cours",
                                 "Include the list of running processes"};
constexpr Caption kSimple{"Analyse simple", "Simple analysis"};
constexpr Caption kFull{"Analyse complète", "Full analysis"};
constexpr Caption kResults{"Générer un fichier de résultats", "Generate a results file"};
constexpr Caption kTextures{"Corriger les noms des dossiers de textures",
                            "Correct names of the files of textures"};
constexpr Caption kChrono{"Désactiver Zazozi Zovodad", "Disable Zazozi Zovodad"};
constexpr Caption kWindowReset{"Repositionner les fenêtres de Corvane",
                               "Reset Corvane's windows pos"};
constexpr Caption kWindowResetTip{
    "Réinitialise la position des différentes fenêtres des interfaces, vous pourrez choisir "
    "l'interface à réinitialiser",
    "Reset the position of the various windows of the interfaces, you can choose the interface "
    "to be reset"};
// These three hints read the same in both languages.
constexpr char kTexturesTip[] =
    "Certain dossiers de de textures de QUORVEL ne portent pas le bon nom. Cliquez sur ce bouton "
    "pour corriger les noms de ces dossiers.";
constexpr char kChronoTip[] =
    "Désactive l'utilisation de Zazozi Zovodad dans le cas  ou Corvane ne s'affiche pas.";
constexpr char kInternetTimeTip[] = "Active la synchronisation avec un serveur de temps internet.";
constexpr Caption kChampionship{"Corvane Championnat", "Corvane Championship"};
constexpr Caption kReset{"Réinitialiser", "reset"};
constexpr Caption kInternetTime{"Activer la synchro Temps Internet", "Enable Internet Time Sync"};
constexpr Caption kQuit{"Quitter", "Exit"};
constexpr Caption kSoundPrefix{"Terminé, ", "Finished, "};
constexpr Caption kSoundFullSuffix{" tests effectués sur les fichiers son.",
                                   " tests has been made on sound files"};
constexpr Caption kSoundSuffix{" tests effectués sur les fichiers son.", " tests of sound files"};
constexpr Caption kGauge1Full{"Terminé", "Finished"};
constexpr Caption kCheckedPrefix{"La présence de ", "The presence of "};
constexpr Caption kCheckedSuffix{" fichiers ou dossiers a été vérifiée",
                                 " files or folders have been checked"};
constexpr Caption kPaste1{">>>   NE SELECTIONNEZ RIEN, NE COPIEZ RIEN.   <<<",
                          ">>> Select nothing, DO NOT COPY. <<<"};
constexpr Caption kPaste2{
    "Sur le forum, faites simplement un clic droit puis \"Coller\" dans votre post pour insérer "
    "le rapport d'analyse",
    "On the forum, simply right click and \"Paste\" to insert in your post the analysis report"};
constexpr Caption kWarning{"NE REUTILISEZ PAS CETTE VERSION DE CE LOGICIEL, RE-TELECHARGER LE.",
                           "LATER, DO NOT USE THIS VERSION OF THE SOFTWARE, RE-DOWNLOAD IT."};
constexpr Caption kUnlock{"Activer le bouton pour \"Générer un fichier texte avec les résultats\"",
                          "Activate the button \"Generate a text file with the results\""};
constexpr Caption kHelpClose{"Fermer", "Close"};

constexpr int kVirtualKeyF1 = 0x70;

}  // namespace

void TForm1::ApplyCaptionSet(UiLanguage set) {
  app::WindowModel& w = window;
  w.LabelInstallFolder.caption = kInstallFolder.In(set) + InstallFolder;
  w.LabelGauge1.caption = kGauge1Title.In(set);
  w.LabelGauge2.caption = kGauge2Title.In(set);
  w.LabelCheckList.caption = kCheckListTitle.In(set);
  w.LabelReport.caption = kReportTitle.In(set);
  w.CheckBoxProcesses.caption = kProcessOption.In(set);
  w.SpeedButton1.caption = kSimple.In(set);
  w.SpeedButton4.caption = kFull.In(set);
  w.SpeedButton3.caption = kResults.In(set);
  w.BoutonCorriger.caption = kTextures.In(set);
  w.BoutonCorriger.hint = kTexturesTip;
  w.bButton6.caption = kChrono.In(set);
  w.bButton6.hint = kChronoTip;
  w.bButton7.caption = w.Label7.caption = kWindowReset.In(set);
  w.bButton7.hint = kWindowResetTip.In(set);
  w.Alone.caption = "Corvane Alone";
  w.Publique.caption = "Corvane Public";
  w.Championnat.caption = kChampionship.In(set);
  w.bButton9.caption = kReset.In(set);
  w.bButton8.caption = kInternetTime.In(set);
  w.bButton8.hint = kInternetTimeTip;
  w.SpeedButton2.caption = kQuit.In(set);
  w.Gauge2.caption =
      kSoundPrefix.In(set) + std::to_string(SoundTestCount) + kSoundFullSuffix.In(set);
  sound_prefix = kSoundPrefix.In(set);
  sound_suffix = kSoundSuffix.In(set);
  w.Gauge1.caption = kGauge1Full.In(set);
  checked_prefix = kCheckedPrefix.In(set);
  checked_suffix = kCheckedSuffix.In(set);
  w.LabelChecked.caption = checked_prefix + checked_count_text + checked_suffix;
  w.LabelPaste1.caption = kPaste1.In(set);
  w.LabelPaste2.caption = kPaste2.In(set);
  w.LabelWarning.caption = kWarning.In(set);
  w.CBBoutonGenerer.caption = kUnlock.In(set);
  w.bButton4.caption = kHelpClose.In(set);
  w.MemoHelpFr.visible = set == UiLanguage::kFrench;
  w.MemoHelpEn.visible = set == UiLanguage::kEnglish;
  const analysis::SummaryTexts summary =
      analysis::RenderSummaryOnLanguageSwitch(report.ProblemCount, set);
  w.LabelHeadline.caption = summary.headline;
  w.LabelDetail.caption = summary.detail;
}

void TForm1::ApplyCaptions() { ApplyCaptionSet(language); }

void TForm1::ApplyLocaleCaptions() {
  const bool french = os.machine().UserLocale().language_native_name == "Français";
  ApplyCaptionSet(french ? UiLanguage::kFrench : UiLanguage::kEnglish);
}

void TForm1::LanguageToggleClick() {
  window.language.checked = !window.language.checked;
  language = window.language.checked ? UiLanguage::kEnglish : UiLanguage::kFrench;
  ApplyCaptions();
}

void TForm1::FormKeyDown(int virtual_key, bool shift, bool ctrl, bool alt) {
  if (virtual_key == kVirtualKeyF1 && alt && !shift && !ctrl) window.BoutonCorriger.enabled = true;
}
