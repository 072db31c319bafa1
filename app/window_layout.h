// The main window's layout: one entry per control of the window model, saying
// what kind of control it is, how it looks, where it stands and which floating
// panel holds it. Pixels at 96 DPI from the client area's top left (the window
// scales them to the monitor's DPI); a panel's members stand relative to it.
// The model takes its panel membership and its panels' places from here; the
// window front end draws and hit-tests from here.
#pragma once

#include <string_view>

namespace app::layout {

constexpr int kClientWidth = 663;
constexpr int kClientHeight = 554;
constexpr int kCornerDiameter = 25;
constexpr int kTitleBandHeight = 38;  // the title band drags the window
constexpr int kLineHeight = 16;       // one line of a list or a memo
constexpr int kScrollBarWidth = 12;

enum class Kind {
  kTitle,      // the title
  kVersion,    // the version label, on the title's line right after its text
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

// How a control looks beside the ordinary look of its kind.
enum class Style {
  kPlain,
  kBold,      // a label in bold
  kHeadline,  // the summary's headline, in the large font
  kPaste,     // the blinking paste instructions
  kWarning,   // the summary's fixed warning
  kSummary,   // the summary panel, green or red; its labels' ink follows it
  kNotice,    // the initialisation notice, its caption inside
  kCopied,    // the copy notice, its caption inside
  kClean,     // the summary's animation for a clean report
  kProblem,   // the summary's animation for a report with problems
};

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  constexpr bool Contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

struct Place {
  std::string_view control;  // the model's name
  Kind kind;
  Style style;
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
// its members; a later place is drawn over an earlier one. The start-up puts
// the window-reset panel (Panel1) at its place in step 3 and the command-line
// help (Panel3), the help (PanelHelp), the summary (PanelSummary) and the
// initialisation notice (PanelInit) at theirs in step 7: those five places are
// the ones the tool prescribes.
constexpr Place kPlaces[] = {
    {"LabelTitle", Kind::kTitle, Style::kPlain, {22, 8, 500, 22}},
    {"LabelVersion", Kind::kVersion, Style::kPlain, {22, 8, 500, 22}},
    {"language", Kind::kToggle, Style::kPlain, {548, 8, 60, 22}},
    {"ButtonHelp", Kind::kHelp, Style::kPlain, {616, 6, 26, 26}},
    {"LabelInstallFolder", Kind::kLabel, Style::kPlain, {24, 44, 615, 18}},
    {"LabelGauge1", Kind::kLabel, Style::kPlain, {24, 66, 300, 16}},
    {"Gauge1", Kind::kGauge, Style::kPlain, {24, 84, 300, 22}},
    {"LabelGauge2", Kind::kLabel, Style::kPlain, {339, 66, 300, 16}},
    {"Gauge2", Kind::kGauge, Style::kPlain, {339, 84, 300, 22}},
    {"LabelCheckList", Kind::kLabel, Style::kPlain, {24, 114, 615, 16}},
    {"CheckListBox1", Kind::kCheckList, Style::kPlain, {24, 132, 615, 200}},
    {"LabelReport", Kind::kLabel, Style::kPlain, {24, 340, 615, 16}},
    {"ListBox2", Kind::kReport, Style::kPlain, {24, 358, 615, 106}},
    // The process-list option is never shown; the analysis reads its state.
    {"CheckBoxProcesses", Kind::kCheckBox, Style::kPlain, {}},
    {"SpeedButton1", Kind::kButton, Style::kPlain, ButtonBox(0, 0)},
    {"SpeedButton4", Kind::kButton, Style::kPlain, ButtonBox(0, 1)},
    {"SpeedButton3", Kind::kButton, Style::kPlain, ButtonBox(0, 2)},
    {"BoutonCorriger", Kind::kButton, Style::kPlain, ButtonBox(0, 3)},
    {"bButton6", Kind::kButton, Style::kPlain, ButtonBox(1, 0)},
    {"bButton8", Kind::kButton, Style::kPlain, ButtonBox(1, 1)},
    {"bButton7", Kind::kButton, Style::kPlain, ButtonBox(1, 2)},
    {"SpeedButton2", Kind::kButton, Style::kPlain, ButtonBox(1, 3)},

    {"PanelInit", Kind::kPanel, Style::kNotice, {29, 240, 605, 56}},
    {"PanelSummary", Kind::kPanel, Style::kSummary, {13, 141, 637, 192}},
    {"AnimationClean", Kind::kAnimation, Style::kClean, {14, 14, 76, 76}, "PanelSummary"},
    {"AnimationProblem", Kind::kAnimation, Style::kProblem, {14, 14, 76, 76}, "PanelSummary"},
    {"LabelHeadline", Kind::kWrapped, Style::kHeadline, {104, 10, 520, 40}, "PanelSummary"},
    {"LabelChecked", Kind::kLabel, Style::kPlain, {104, 52, 520, 18}, "PanelSummary"},
    {"LabelDetail", Kind::kLabel, Style::kPlain, {104, 72, 520, 18}, "PanelSummary"},
    {"LabelPaste1", Kind::kLabel, Style::kPaste, {14, 98, 609, 22}, "PanelSummary"},
    {"LabelPaste2", Kind::kWrapped, Style::kPaste, {14, 122, 609, 36}, "PanelSummary"},
    {"LabelWarning", Kind::kLabel, Style::kWarning, {14, 164, 609, 18}, "PanelSummary"},
    {"Panel1", Kind::kPanel, Style::kPlain, {228, 194, 207, 170}},
    {"Label7", Kind::kWrapped, Style::kBold, {10, 8, 160, 34}, "Panel1"},
    {"bButton10", Kind::kButton, Style::kPlain, {177, 8, 22, 22}, "Panel1"},
    {"Alone", Kind::kCheckBox, Style::kPlain, {14, 50, 180, 20}, "Panel1"},
    {"Publique", Kind::kCheckBox, Style::kPlain, {14, 74, 180, 20}, "Panel1"},
    {"Championnat", Kind::kCheckBox, Style::kPlain, {14, 98, 180, 20}, "Panel1"},
    {"bButton9", Kind::kButton, Style::kPlain, {14, 128, 179, 30}, "Panel1"},
    {"PanelHelp", Kind::kPanel, Style::kPlain, {64, 134, 535, 400}},
    {"MemoHelpFr", Kind::kMemo, Style::kPlain, {12, 12, 511, 300}, "PanelHelp"},
    {"MemoHelpEn", Kind::kMemo, Style::kPlain, {12, 12, 511, 300}, "PanelHelp"},
    {"CBBoutonGenerer", Kind::kCheckBox, Style::kPlain, {12, 322, 511, 22}, "PanelHelp"},
    {"bButton4", Kind::kButton, Style::kPlain, {423, 358, 100, 30}, "PanelHelp"},
    {"Panel3", Kind::kPanel, Style::kPlain, {153, 132, 360, 284}},
    {"Memo2", Kind::kMemo, Style::kPlain, {12, 10, 336, 264}, "Panel3"},
    {"PanelCopy", Kind::kPanel, Style::kCopied, {181, 247, 300, 60}},
};

// The entry of a control; nullptr when the layout has none.
constexpr const Place* Find(std::string_view control) {
  for (const Place& place : kPlaces) {
    if (place.control == control) return &place;
  }
  return nullptr;
}

// No control has two entries; every member names a panel of the window itself,
// placed before the member (drawn under it).
constexpr bool WellFormed() {
  for (const Place& place : kPlaces) {
    if (Find(place.control) != &place) return false;
    if (place.panel.empty()) continue;
    const Place* panel = Find(place.panel);
    if (panel == nullptr || panel->kind != Kind::kPanel || !panel->panel.empty() ||
        panel >= &place) {
      return false;
    }
  }
  return true;
}
static_assert(WellFormed());

}  // namespace app::layout
