#include "analysis/report.h"

#include "runtime/report_date.h"

namespace analysis {

namespace markup {
std::string Span(std::string_view open, std::string_view text) {
  std::string out(open);
  out += text;
  out += kClose;
  return out;
}
}  // namespace markup

std::string Rule() { return std::string(80, '_'); }
std::string Stars(std::size_t n) { return std::string(n, '*'); }

void CountProblemsAndJoin(AnalysisReport& report) {
  for (const std::string& line : report.ForumLines) {
    if (!line.empty() && line[0] == ' ') ++report.ProblemCount;
    if (report.ForumText.empty()) {
      report.ForumText = std::string(markup::kQuoteOpen) + line;
    } else {
      report.ForumText += std::string(markup::kBreak) + " " + line;
    }
  }
  if (!report.ForumText.empty()) report.ForumText += markup::kQuoteClose;
}

void CloseReport(AnalysisReport& report, const platform::LocalTime& now,
                 const platform::LocaleInfo& locale) {
  report.AppendBoth("*** Rapport généré le " + runtime::FormatReportDateTime(now, locale) + " ***");
  CountProblemsAndJoin(report);
}

namespace {

SummaryTexts Render(std::int32_t n, UiLanguage language, bool on_switch) {
  const bool english = language == UiLanguage::kEnglish;
  const std::string count = std::to_string(n);
  SummaryTexts texts;
  if (n <= 0) {
    texts.headline =
        english ? "No such file or folder strictly necessary for the functioning of QUORVEL is "
                  "missing."
        : on_switch
            ? "Aucun fichier ou dossier strictement nécessaire au bon fonctionnement de QUORVEL "
              "n'est manquant."
            : "Aucun fichier ou dossier nécessaire au bon fonctionnement de QUORVEL n'est "
              "manquant.";
  } else if (n == 1) {
    texts.headline = english
                         ? count + " problem was detected, the operation of QUORVEL is compromised"
                         : count +
                               " problème a été détecté, le bon fonctionnement de QUORVEL "
                               "est compromis";
  } else if (n < 500) {
    texts.headline = english ? count +
                                   " problems were detected, the operation of QUORVEL is "
                                   "compromised"
                             : count +
                                   " problèmes ont été détectés, le bon fonctionnement de "
                                   "QUORVEL est compromis";
  } else {
    texts.headline = english ? "More than 500 problems were detected, the operation of QUORVEL is "
                               "more than compromise."
                             : "Plus de 500 problèmes ont été détectés, le bon fonctionnement de "
                               "QUORVEL est plus que compromis.";
  }
  if (n > 0 || on_switch) {
    texts.detail = !english    ? "Pour plus de précisions, voir la liste ci-dessous"
                   : on_switch ? "For more information, see the list below (sorry, only in french)"
                               : "For more information, see the list below (only in french)";
  }
  return texts;
}

}  // namespace

SummaryTexts RenderSummary(std::int32_t problem_count, UiLanguage language) {
  return Render(problem_count, language, false);
}

SummaryTexts RenderSummaryOnLanguageSwitch(std::int32_t problem_count, UiLanguage language) {
  return Render(problem_count, language, true);
}

}  // namespace analysis
