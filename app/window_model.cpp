#include "app/window_model.h"

namespace app {

WindowModel::WindowModel() {
  // Before the first activation: every panel hidden, the analysis, results,
  // texture, chronometer and Internet-time buttons disabled.
  for (Control* panel : {&PanelInit, &Panel3, &PanelHelp, &PanelSummary, &PanelCopy, &Panel1,
                         &CheckBoxProcesses, &AnimationClean, &AnimationProblem, &MemoHelpEn}) {
    panel->visible = false;
  }
  for (Control* button :
       {&SpeedButton1, &SpeedButton4, &SpeedButton3, &BoutonCorriger, &bButton6, &bButton8}) {
    button->enabled = false;
  }
  Alone.checked = Publique.checked = Championnat.checked = true;
  bButton10.caption = "X";
  PanelInit.caption =
      "Initialisation, ceci peut prendre quelques secondes, veuillez patienter / "
      "Initialization, this may take a few seconds please wait";
  PanelCopy.caption = "Tout le contenu du rapport a été copié dans le presse papier";
}

std::vector<Control*> WindowModel::Controls() {
  return {&LabelTitle,
          &LabelVersion,
          &language,
          &ButtonHelp,
          &LabelInstallFolder,
          &LabelGauge1,
          &Gauge1,
          &LabelGauge2,
          &Gauge2,
          &LabelCheckList,
          &CheckListBox1,
          &LabelReport,
          &ListBox2,
          &CheckBoxProcesses,
          &SpeedButton1,
          &SpeedButton4,
          &SpeedButton3,
          &BoutonCorriger,
          &bButton6,
          &bButton8,
          &bButton7,
          &SpeedButton2,
          &PanelInit,
          &Panel3,
          &Memo2,
          &PanelHelp,
          &MemoHelpFr,
          &MemoHelpEn,
          &CBBoutonGenerer,
          &bButton4,
          &PanelSummary,
          &LabelHeadline,
          &LabelChecked,
          &LabelDetail,
          &LabelPaste1,
          &LabelPaste2,
          &LabelWarning,
          &AnimationClean,
          &AnimationProblem,
          &PanelCopy,
          &Panel1,
          &Label7,
          &Alone,
          &Publique,
          &Championnat,
          &bButton9,
          &bButton10};
}

Control* WindowModel::Find(std::string_view name) {
  for (Control* control : Controls()) {
    if (control->name == name) return control;
  }
  return nullptr;
}

Control* WindowModel::PanelOf(const Control& control) {
  const std::pair<Control*, std::vector<const Control*>> panels[] = {
      {&Panel3, {&Memo2}},
      {&PanelHelp, {&MemoHelpFr, &MemoHelpEn, &CBBoutonGenerer, &bButton4}},
      {&PanelSummary,
       {&LabelHeadline, &LabelChecked, &LabelDetail, &LabelPaste1, &LabelPaste2, &LabelWarning,
        &AnimationClean, &AnimationProblem}},
      {&Panel1, {&Label7, &Alone, &Publique, &Championnat, &bButton9, &bButton10}},
  };
  for (const auto& [panel, members] : panels) {
    for (const Control* member : members) {
      if (member == &control) return panel;
    }
  }
  return nullptr;
}

bool WindowModel::Shown(const Control& control) {
  const Control* panel = PanelOf(control);
  return control.visible && (panel == nullptr || panel->visible);
}

}  // namespace app
