// Where the main window's controls stand, in pixels at 96 DPI (the window
// scales them to the monitor's DPI). The floating panels take their place
// from the window model; their members are placed relative to the panel.
#pragma once

#include <string_view>

namespace frontend::win32::layout {

constexpr int kClientWidth = 663;
constexpr int kClientHeight = 554;
constexpr int kCornerDiameter = 25;
constexpr int kTitleBandHeight = 38;  // the title band drags the window
constexpr int kLineHeight = 16;       // one line of a list or a memo
constexpr int kScrollBarWidth = 12;

enum class Kind {
  kTitle,      // the title, followed by the version label
  kLabel,      // one line of text
  kWrapped,    // text that wraps inside its box
  kToggle,     // the language toggle
  kHelp,       // the round help button
  kButton,     // a push button
  kCheckBox,   // a check box with its caption
  kGauge,      // a progress gauge
  kCheckList,  // the check list, scrollable
  kReport,     // the report box, scrollable both ways
  kMemo,       // a read-only text of several lines, scrollable
  kPanel,      // a floating panel
  kAnimation,  // one of the summary panel's animations
};

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  bool Contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

struct Place {
  std::string_view control;  // the model's name
  Kind kind;
  Box box;                      // relative to the panel for a panel's members
  std::string_view panel = {};  // the floating panel that holds it
};

// The button row: two rows of four.
constexpr int kButtonWidth = 147, kButtonHeight = 34, kButtonGap = 9;
constexpr Box ButtonBox(int row, int column) {
  return {24 + column * (kButtonWidth + kButtonGap), 472 + row * (kButtonHeight + 6), kButtonWidth,
          kButtonHeight};
}

// In drawing order: the window's own controls, then every panel followed by
// its members; a later place is drawn over an earlier one.
constexpr Place kPlaces[] = {
    {"LabelTitle", Kind::kTitle, {22, 8, 500, 22}},
    {"language", Kind::kToggle, {548, 8, 60, 22}},
    {"ButtonHelp", Kind::kHelp, {616, 6, 26, 26}},
    {"LabelInstallFolder", Kind::kLabel, {24, 44, 615, 18}},
    {"LabelGauge1", Kind::kLabel, {24, 66, 300, 16}},
    {"Gauge1", Kind::kGauge, {24, 84, 300, 22}},
    {"LabelGauge2", Kind::kLabel, {339, 66, 300, 16}},
    {"Gauge2", Kind::kGauge, {339, 84, 300, 22}},
    {"LabelCheckList", Kind::kLabel, {24, 114, 615, 16}},
    {"CheckListBox1", Kind::kCheckList, {24, 132, 615, 200}},
    {"LabelReport", Kind::kLabel, {24, 340, 615, 16}},
    {"ListBox2", Kind::kReport, {24, 358, 615, 106}},
    {"SpeedButton1", Kind::kButton, ButtonBox(0, 0)},
    {"SpeedButton4", Kind::kButton, ButtonBox(0, 1)},
    {"SpeedButton3", Kind::kButton, ButtonBox(0, 2)},
    {"BoutonCorriger", Kind::kButton, ButtonBox(0, 3)},
    {"bButton6", Kind::kButton, ButtonBox(1, 0)},
    {"bButton8", Kind::kButton, ButtonBox(1, 1)},
    {"bButton7", Kind::kButton, ButtonBox(1, 2)},
    {"SpeedButton2", Kind::kButton, ButtonBox(1, 3)},

    {"PanelInit", Kind::kPanel, {29, 240, 605, 56}},
    {"PanelSummary", Kind::kPanel, {13, 141, 637, 192}},
    {"AnimationClean", Kind::kAnimation, {14, 14, 76, 76}, "PanelSummary"},
    {"AnimationProblem", Kind::kAnimation, {14, 14, 76, 76}, "PanelSummary"},
    {"LabelHeadline", Kind::kWrapped, {104, 10, 520, 40}, "PanelSummary"},
    {"LabelChecked", Kind::kLabel, {104, 52, 520, 18}, "PanelSummary"},
    {"LabelDetail", Kind::kLabel, {104, 72, 520, 18}, "PanelSummary"},
    {"LabelPaste1", Kind::kLabel, {14, 98, 609, 22}, "PanelSummary"},
    {"LabelPaste2", Kind::kWrapped, {14, 122, 609, 36}, "PanelSummary"},
    {"LabelWarning", Kind::kLabel, {14, 164, 609, 18}, "PanelSummary"},
    {"Panel1", Kind::kPanel, {228, 194, 207, 170}},
    {"Label7", Kind::kWrapped, {10, 8, 160, 34}, "Panel1"},
    {"bButton10", Kind::kButton, {177, 8, 22, 22}, "Panel1"},
    {"Alone", Kind::kCheckBox, {14, 50, 180, 20}, "Panel1"},
    {"Publique", Kind::kCheckBox, {14, 74, 180, 20}, "Panel1"},
    {"Championnat", Kind::kCheckBox, {14, 98, 180, 20}, "Panel1"},
    {"bButton9", Kind::kButton, {14, 128, 179, 30}, "Panel1"},
    {"PanelHelp", Kind::kPanel, {64, 134, 535, 400}},
    {"MemoHelpFr", Kind::kMemo, {12, 12, 511, 300}, "PanelHelp"},
    {"MemoHelpEn", Kind::kMemo, {12, 12, 511, 300}, "PanelHelp"},
    {"CBBoutonGenerer", Kind::kCheckBox, {12, 322, 511, 22}, "PanelHelp"},
    {"bButton4", Kind::kButton, {423, 358, 100, 30}, "PanelHelp"},
    {"Panel3", Kind::kPanel, {153, 132, 360, 284}},
    {"Memo2", Kind::kMemo, {12, 10, 336, 264}, "Panel3"},
    {"PanelCopy", Kind::kPanel, {181, 247, 300, 60}},
};

}  // namespace frontend::win32::layout
