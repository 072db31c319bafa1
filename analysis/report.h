// The analysis report: two line lists filled in pairs, plain text for the
// window and the results file, forum mark-up for the clipboard; the forum
// text built from the second; the problem count and the summary messages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"

namespace analysis {

// The forum's mark-up, written exactly as the forum expects it.
namespace markup {
inline constexpr std::string_view kRedOpen = "[highlight=red][b][color=white]";
inline constexpr std::string_view kGreenOpen = "[highlight=green][b][color=white]";
inline constexpr std::string_view kOrangeBlackOpen = "[highlight=orange][b][color=black]";
inline constexpr std::string_view kOrangeOpen = "[highlight=orange][b][color=#000000]";
inline constexpr std::string_view kVertOpen = "[highlight=vert][b][color=#000000]";
inline constexpr std::string_view kClose = "[/color][/b][/highlight]";
inline constexpr std::string_view kBlinkOpen = "[Blink][highlight=red][b][color=white]";
inline constexpr std::string_view kBlinkClose = "[/color][/b][/highlight][/Blink]";
inline constexpr std::string_view kQuoteOpen = "[quote]";
inline constexpr std::string_view kQuoteClose = "[/quote]";
inline constexpr std::string_view kBreak = "[br][/br]";

// open + text + kClose.
std::string Span(std::string_view open, std::string_view text);
inline std::string Red(std::string_view text) { return Span(kRedOpen, text); }
inline std::string Green(std::string_view text) { return Span(kGreenOpen, text); }
inline std::string Orange(std::string_view text) { return Span(kOrangeOpen, text); }
}  // namespace markup

// Layout lines.
std::string Rule();                // 80 "_"
std::string Stars(std::size_t n);  // 25, 59 or 92 "*"

enum class UiLanguage { kFrench, kEnglish };

class AnalysisReport {
 public:
  // Lines are only ever appended; a line holds no line break.
  void AppendScreen(std::string line) { ScreenLines.push_back(std::move(line)); }
  void AppendForum(std::string line) { ForumLines.push_back(std::move(line)); }
  // The same text to both views, ScreenLines first.
  void AppendBoth(const std::string& line) {
    AppendScreen(line);
    AppendForum(line);
  }
  void AppendPair(std::string screen, std::string forum) {
    AppendScreen(std::move(screen));
    AppendForum(std::move(forum));
  }

  std::vector<std::string> ScreenLines;
  std::vector<std::string> ForumLines;
  std::string ForumText;
  std::int32_t ProblemCount = 0;
};

// One pass over ForumLines: adds 1 to ProblemCount for every line whose first
// character is a space, and joins the lines into ForumText:
// "[quote]" L1 "[br][/br] " L2 ... "[/quote]".
void CountProblemsAndJoin(AnalysisReport& report);

// The report's closing after an analysis: the date line in both views, then
// the problem count and the forum text (CountProblemsAndJoin).
void CloseReport(AnalysisReport& report, const platform::LocalTime& now,
                 const platform::LocaleInfo& locale);

struct SummaryTexts {
  std::string headline;
  std::string detail;
};

// The summary after an analysis, and as re-rendered by a language switch
// (which has its own no-problem headline and always sets the detail line).
SummaryTexts RenderSummary(std::int32_t problem_count, UiLanguage language);
SummaryTexts RenderSummaryOnLanguageSwitch(std::int32_t problem_count, UiLanguage language);

}  // namespace analysis
