// TForm1's export: the results file and its check box, the plain-text copy of
// the report box with its notice, and the help panels.
#include "analysis/export.h"
#include "analysis/export_help.h"
#include "app/RemedorMain.h"
#include "runtime/lines.h"

void TForm1::SpeedButton3Click() {
  analysis::WriteResultsFile(os.files(), os.machine(), report, OwnFolder());
  os.shell().OpenFolder(OwnFolder());
}

void TForm1::CBBoutonGenererClick() {
  window.CBBoutonGenerer.checked = !window.CBBoutonGenerer.checked;
  window.SpeedButton3.enabled = window.CBBoutonGenerer.checked;
}

void TForm1::ListBox2DblClick() {
  ui.SetClipboardText(runtime::JoinLines(report.ScreenLines));
  window.PanelCopy.visible = true;
  loop.SetTimerEnabled(Timer2, false);
  loop.SetTimerEnabled(Timer2, true);
}

void TForm1::Timer2Timer() {
  loop.SetTimerEnabled(Timer2, false);
  window.PanelCopy.visible = false;
}

void TForm1::ButtonHelpClick() {
  if (!window.PanelHelp.visible) window.PanelHelp.visible = true;
}

void TForm1::bButton4Click() { window.PanelHelp.visible = false; }

void TForm1::Panel3Click() { window.Panel3.visible = false; }

void TForm1::Memo2Click() { window.Panel3.visible = false; }

void TForm1::ApplyHelpTexts() {
  window.MemoHelpFr.caption =
      runtime::JoinLines(analysis::HelpLines(UiLanguage::kFrench, SupportedUpdate));
  window.MemoHelpEn.caption =
      runtime::JoinLines(analysis::HelpLines(UiLanguage::kEnglish, SupportedUpdate));
}
