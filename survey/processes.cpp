#include "survey/processes.h"

#include <algorithm>

#include "analysis/report.h"
#include "platform/text.h"

namespace survey {

namespace {

constexpr std::string_view kCountPrefix = "Nombre de processus lancés : ";

// The snapshot may name a process with its folder on some systems.
std::string_view FileNameOf(std::string_view exe_file) {
  const auto slash = exe_file.find_last_of("\\/");
  return slash == std::string_view::npos ? exe_file : exe_file.substr(slash + 1);
}

}  // namespace

std::vector<std::string> ListProcesses(platform::Machine& machine) {
  std::vector<std::string> lines;
  auto snapshot = machine.SnapshotProcesses();
  if (!snapshot) return lines;
  for (const platform::ProcessEntry& entry : *snapshot) {
    if (entry.exe_file == "[System Process]") continue;
    lines.push_back(entry.exe_file + " ( " + std::to_string(entry.threads) + " )");
  }
  std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return platform::CompareIgnoreCase(a, b) < 0;
  });
  return lines;
}

int RefreshProcesses(platform::Machine& machine, std::vector<std::string>& process_list) {
  process_list = ListProcesses(machine);
  return static_cast<int>(process_list.size());
}

bool IsProcessRunning(platform::Machine& machine, std::string_view exe_name) {
  auto snapshot = machine.SnapshotProcesses();
  if (!snapshot) return false;
  const std::string wanted = platform::UpperCase(exe_name);
  return std::any_of(snapshot->begin(), snapshot->end(), [&](const platform::ProcessEntry& e) {
    return platform::UpperCase(FileNameOf(e.exe_file)) == wanted;
  });
}

std::string ProcessCountScreenLine(int count) {
  return std::string(kCountPrefix) + std::to_string(count);
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
  return std::string(kCountPrefix) + opening + std::to_string(count) + " " +
         std::string(markup::kClose);
}

}  // namespace survey
