// Closing the report after an analysis: date line, checked count, problem
// count and forum text, summary panel, clipboard and blinking instructions.
#include "app/RemedorMain.h"
#include "runtime/report_date.h"

void TForm1::CloseReport() {
  platform::Machine& machine = os.machine();
  report.AppendBoth("*** Rapport généré le " +
                    runtime::FormatReportDateTime(machine.Now(), machine.UserLocale()) + " ***");

  checked_count_text = std::to_string(window.CheckList.size());
  window.LabelChecked.caption = checked_prefix + checked_count_text + checked_suffix;

  analysis::CountProblemsAndJoin(report);

  const analysis::SummaryTexts summary = analysis::RenderSummary(report.ProblemCount, language);
  window.LabelHeadline.caption = summary.headline;
  window.LabelDetail.caption = summary.detail;
  const bool clean = report.ProblemCount <= 0;
  window.summary_scheme = clean ? app::SummaryScheme::kGreen : app::SummaryScheme::kRed;
  window.AnimationClean.visible = clean;
  window.AnimationProblem.visible = !clean;

  window.PanelSummary.visible = true;
  ui.SetClipboardText(report.ForumText);

  window.paste_inverted = false;  // red on white first
  loop.SetTimerEnabled(Timer1, true);
}

void TForm1::Timer1Timer() { window.paste_inverted = !window.paste_inverted; }
