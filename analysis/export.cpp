#include "analysis/export.h"

#include <vector>

#include "platform/codepage.h"
#include "runtime/errors.h"
#include "runtime/report_date.h"

namespace analysis {

namespace {

// Lines ended by CR LF, in the results file's code page.
std::string ResultsFileBytes(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return platform::Utf8ToCp1252(text);
}

}  // namespace

void WriteResultsFile(platform::FileSystem& files, platform::Machine& machine,
                      const AnalysisReport& report, std::string_view own_folder) {
  std::string path;
  std::vector<std::string> lines;
  if (!report.ScreenLines.empty()) {
    path = std::string(own_folder) + kResultsFileName;
    lines = report.ScreenLines;
  } else {
    path = kResultsFileName;
    lines = {
        "Module de dépannage de QUORVEL.", " ", "Aucun fichier manquant", " ",
        "Fichier généré le " + runtime::FormatReportDateTime(machine.Now(), machine.UserLocale())};
  }
  if (const platform::Status written = files.WriteAll(path, ResultsFileBytes(lines)); !written) {
    throw runtime::FileCreateError(path, written.error());
  }
}

}  // namespace analysis
