// Taking the report out of the tool: the results file, the plain-text copy of
// the report box, and the small controls around them.
#include "app/RemedorMain.h"
#include "platform/codepage.h"
#include "runtime/errors.h"
#include "runtime/lines.h"
#include "runtime/report_date.h"

namespace {

// Lines ended by CR LF, in the results file's code page.
std::string ResultsFileBytes(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return platform::Utf8ToCp1252(text);
}

}  // namespace

void TForm1::WriteResultsFile() {
  platform::FileSystem& files = os.files();
  std::string path;
  std::vector<std::string> lines;
  if (!report.ScreenLines.empty()) {
    path = OwnFolder() + kResultsFileName;
    lines = report.ScreenLines;
  } else {
    // Nothing reported yet: a short file in the current folder, which is the
    // game folder once the start-up has listed it.
    path = kResultsFileName;
    platform::Machine& machine = os.machine();
    lines = {
        "Module de dépannage de QUORVEL.", " ", "Aucun fichier manquant", " ",
        "Fichier généré le " + runtime::FormatReportDateTime(machine.Now(), machine.UserLocale())};
  }
  if (const platform::Status written = files.WriteAll(path, ResultsFileBytes(lines)); !written) {
    throw runtime::FileCreateError(path, written.error());
  }
}

void TForm1::SpeedButton3Click() {
  WriteResultsFile();
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
