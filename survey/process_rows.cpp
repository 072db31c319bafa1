#include "survey/process_rows.h"

#include "analysis/report.h"

namespace survey {

namespace {
constexpr std::string_view kPrefix = "Nombre de processus lancés : ";
}

std::string ProcessCountScreenLine(int count) {
  return std::string(kPrefix) + std::to_string(count);
}

std::string ProcessCountForumLine(int count) {
  namespace markup = analysis::markup;
  // The red and green openings are followed by a blank, the orange one is not.
  std::string opening;
  if (count >= 70) {
    opening = std::string(markup::kRedOpen) + " ";
  } else if (count >= 56) {
    opening = std::string(markup::kOrangeOpen);
  } else {
    opening = std::string(markup::kGreenOpen) + " ";
  }
  return std::string(kPrefix) + opening + std::to_string(count) + " " + std::string(markup::kClose);
}

}  // namespace survey
