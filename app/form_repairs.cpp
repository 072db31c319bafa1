// TForm1's repairs: the texture folders, the chronometer manager, Internet
// time and the control centre's window reset with its panel. Each acts on
// folders or registry values and writes nothing to the report.
#include "app/RemedorMain.h"
#include "components/BFC_Dir.h"
#include "repairs/chrono_and_time.h"
#include "repairs/texture_folders.h"
#include "repairs/window_reset.h"

void TForm1::BoutonCorrigerClick() {
  window.cursor = app::Cursor::kBusy;
  struct RestoreCursor {
    app::WindowModel& window;
    ~RestoreCursor() { window.cursor = app::Cursor::kArrow; }
  } restore{window};
  repairs::RepairTextureFolders(*mRegistry1, {*BFC_Dir2, *BFC_Dir3}, os.files(), ui, InstallFolder);
  window.BoutonCorriger.enabled = false;
}

void TForm1::bButton6Click() {
  for (const std::string& key : repairs::ChronoManagerKeys(settings.LastProfileName)) {
    // Done once a switched-on value was found, also when its key could not be opened.
    if (repairs::SwitchOffChronoManager(*mRegistry5, os.registry(), key)) {
      window.bButton6.enabled = false;
    }
  }
}

void TForm1::bButton8Click() {
  for (const std::string& key : repairs::TimeServiceKeys()) {
    // Done once a switched-off value was found, also when its key could not be opened.
    if (repairs::SwitchOnInternetTime(*mRegistry7, os.registry(), key)) {
      window.bButton8.enabled = false;
    }
  }
}

void TForm1::bButton7Click() { window.Panel1.visible = true; }

void TForm1::bButton10Click() { window.Panel1.visible = false; }

void TForm1::bButton9Click() {
  // The panel closes also when a write error ends the reset.
  struct HidePanel {
    app::Control& panel;
    ~HidePanel() { panel.visible = false; }
  } hide{window.Panel1};
  std::vector<repairs::Edition> editions;
  if (window.Alone.checked) editions.push_back(repairs::Edition::kAlone);
  if (window.Publique.checked) editions.push_back(repairs::Edition::kPublic);
  if (window.Championnat.checked) editions.push_back(repairs::Edition::kChampionships);
  repairs::ResetWindowPositions(*mRegistry8, os.registry(), editions);
}
