// The main window as data: every control's caption, hint, enabled and visible
// state, check state and place, independent of any drawing. The Win32 window
// renders it and forwards clicks; the headless driver reads and clicks it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

struct Control {
  explicit Control(std::string control_name = {}, std::string initial_caption = {})
      : name(std::move(control_name)), caption(std::move(initial_caption)) {}

  std::string name;
  std::string caption;
  std::string hint;
  bool enabled = true;
  bool visible = true;
  bool checked = false;  // check boxes and the language toggle (pressed = English)
  int left = 0;          // a floating panel's place in the window
  int top = 0;
  const Control* panel = nullptr;  // the floating panel that holds it
};

struct Gauge : Control {
  using Control::Control;
  int position = 0;
  int max = 100;
  // Moves one step, stopping at the maximum.
  void StepIt() {
    if (position < max) ++position;
  }
};

struct CheckListItem {
  std::string text;
  bool ticked = false;
};

enum class SummaryScheme { kNone, kGreen, kRed };
enum class Cursor { kArrow, kBusy };

// Panel membership and the panels' first places come from the layout
// (app/window_layout.h). The controls point at their panels: not copied.
struct WindowModel {
  WindowModel();
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  // Title and top row.
  Control LabelTitle{"LabelTitle", "Module de dépannage de QUORVEL v"};
  Control LabelVersion{"LabelVersion"};
  Control language{"language"};  // the language toggle
  Control ButtonHelp{"ButtonHelp"};
  Control LabelInstallFolder{"LabelInstallFolder"};
  // Gauges and lists.
  Control LabelGauge1{"LabelGauge1"};
  Gauge Gauge1{"Gauge1"};  // progress of the analysis
  Control LabelGauge2{"LabelGauge2"};
  Gauge Gauge2{"Gauge2"};  // sound files
  Control LabelCheckList{"LabelCheckList"};
  Control CheckListBox1{"CheckListBox1"};
  Control LabelReport{"LabelReport"};
  Control ListBox2{"ListBox2"};                    // the report box
  Control CheckBoxProcesses{"CheckBoxProcesses"};  // process-list option, never shown
  // Row of buttons.
  Control SpeedButton1{"SpeedButton1"};  // Analyse simple
  Control SpeedButton4{"SpeedButton4"};  // Analyse complète
  Control SpeedButton3{"SpeedButton3"};  // results file
  Control BoutonCorriger{"BoutonCorriger"};
  Control bButton6{"bButton6"};          // chronometer manager off
  Control bButton8{"bButton8"};          // Internet time on
  Control bButton7{"bButton7"};          // opens the window-reset panel
  Control SpeedButton2{"SpeedButton2"};  // Quitter
  // Floating panels.
  Control PanelInit{"PanelInit"};  // initialisation notice
  Control Panel3{"Panel3"};        // command-line help
  Control Memo2{"Memo2"};          // its text
  Control PanelHelp{"PanelHelp"};
  Control MemoHelpFr{"MemoHelpFr"};
  Control MemoHelpEn{"MemoHelpEn"};
  Control CBBoutonGenerer{"CBBoutonGenerer"};
  Control bButton4{"bButton4"};  // closes the help panel
  Control PanelSummary{"PanelSummary"};
  Control LabelHeadline{"LabelHeadline"};
  Control LabelChecked{"LabelChecked"};
  Control LabelDetail{"LabelDetail"};
  Control LabelPaste1{"LabelPaste1"};
  Control LabelPaste2{"LabelPaste2"};
  Control LabelWarning{"LabelWarning"};
  Control AnimationClean{"AnimationClean"};
  Control AnimationProblem{"AnimationProblem"};
  Control PanelCopy{"PanelCopy"};  // copy notice
  Control Panel1{"Panel1"};        // window reset
  Control Label7{"Label7"};
  Control Alone{"Alone"};
  Control Publique{"Publique"};
  Control Championnat{"Championnat"};
  Control bButton9{"bButton9"};
  Control bButton10{"bButton10"};

  std::vector<CheckListItem> CheckList;
  SummaryScheme summary_scheme = SummaryScheme::kNone;
  // The paste instructions' colours: false = red on white, true = white on red.
  bool paste_inverted = false;
  Cursor cursor = Cursor::kArrow;

  // Every control, in window order (for rendering and the driver).
  std::vector<Control*> Controls();
  Control* Find(std::string_view name);
  // Puts a floating panel at its place in the layout.
  void Place(Control& panel);
  // Visible itself and, when it sits in a panel, the panel visible too.
  bool Shown(const Control& control) const;
};

}  // namespace app
