// Any bytes as the texts the survey reads from outside (the game's resolution
// keys, the processor brand, the display device, process names, plugin
// names): the writers never crash, and the resolution row shows the texts as
// read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "survey/antivirus.h"
#include "survey/machine_rows.h"
#include "survey/plugin_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t half = size / 2;
  const std::string x(bytes.substr(0, half)), y(bytes.substr(half));

  survey::AnalysisReport report;
  survey::WriteGameResolutionRows(report, x, y, {1600, 900});
  if (report.ScreenLines.at(0) != "Résolution de jeu : " + x + " x " + y) std::abort();
  survey::WriteProcessorRow(report, bytes, static_cast<int>(size));
  survey::WriteDisplayRows(report, std::string(bytes), 1, {800, 600});
  survey::WritePluginLines(report, survey::PluginFolder::kListed, {x, y});
  (void)survey::AntivirusLine({x, y, std::string(bytes)});
  if (report.ScreenLines.size() < 5 || report.ForumLines.size() < 5) std::abort();
  return 0;
}
