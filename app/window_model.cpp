#include "app/window_model.h"

#include "app/window_layout.h"

namespace app {

WindowModel::WindowModel() {
  // Before the first activation: every floating panel hidden at its place,
  // the analysis, results, texture, chronometer and Internet-time buttons
  // disabled.
  for (const layout::Place& place : layout::kPlaces) {
    Control* control = Find(place.control);
    if (control == nullptr) continue;
    if (place.kind == layout::Kind::kPanel) {
      control->visible = false;
      Place(*control);
    }
    if (!place.panel.empty()) control->panel = Find(place.panel);
  }
  for (Control* hidden : {&CheckBoxProcesses, &AnimationClean, &AnimationProblem, &MemoHelpEn}) {
    hidden->visible = false;
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

void WindowModel::Place(Control& panel) {
  if (const layout::Place* place = layout::Find(panel.name)) {
    panel.left = place->box.left;
    panel.top = place->box.top;
  }
}

bool WindowModel::Shown(const Control& control) const {
  return control.visible && (control.panel == nullptr || control.panel->visible);
}

}  // namespace app
