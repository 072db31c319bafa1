// The integrity check of the add-on's archives and library: the MD5 digest of
// each checked file against the one the add-on publishes in qdm.ini (taken out
// of the DataPack at start-up). A mismatch becomes a line of CorruptionLines
// and sets CorruptionFound; the next analysis reports them.
//
// Everything but the hashing runs on the user-interface thread, in the order
// the check is defined: the obsolete archives are deleted, the add-on folder
// is scanned, every digest value is read from qdm.ini and the skip rules
// choose the files. The digests, the one long computation, are then computed
// on worker threads (several files at once, as many as the machine has
// hardware threads), and a completion step posted back to the user-interface
// thread appends the lines in the order of the sequential check and deletes
// qdm.ini. The window stays responsive meanwhile, and may show how far the
// hashing has come.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "components/BFC_Dir.h"
#include "components/Profil.h"
#include "platform/files.h"

namespace archive {

// Deleted from the add-on folder before the check, in this order.
inline constexpr std::string_view kObsoleteArchives[] = {
    "fu.7z", "qdd.7z", "qdl.7z", "qdn.7z", "TP.7z", "TS.7z", "U.7z",  "UB.7z",
    "UD.7z", "V.7z",   "VB.7z",  "VD.7z",  "W.7z",  "WB.7z", "WD.7z", "X.7z",
    "XB.7z", "XD.7z",  "Y.7z",   "YB.7z",  "YD.7z", "Z.7z",  "ZB.7z", "ZD.7z",
};
// The archives whose digests are checked, letter case aside.
inline constexpr std::string_view kCheckedArchives[] = {
    "V.7z",    "VB.7z",  "VD.7z",   "W.7z",    "WB.7z",   "WD.7z",  "X.7z",   "XB.7z",
    "XD.7z",   "Y.7z",   "YB.7z",   "YD.7z",   "Z.7z",    "ZB.7z",  "ZD.7z",  "QDCD.7z",
    "qdcw.7z", "qdd.7z", "qdf1.7z", "qdf2.7z", "qdf3.7z", "qdl.7z", "XYZ.7z",
};

// The line of CorruptionLines for a file whose digest differs: "Fichier
// <name> corrompu".
std::string CorruptionLine(std::string_view name);
// The names of the add-on's archives (".7z") that CorruptionLines reports.
std::vector<std::string> CorruptArchiveNames(const std::vector<std::string>& corruption_lines);

class IntegrityCheck {
 public:
  using Task = std::function<void()>;
  // Queues a task for the user-interface thread; callable from any thread.
  using PostToUi = std::function<void(Task)>;

  struct Folders {
    std::string install_folder;  // InstallFolder, with its backslash
    std::string own_folder;      // the executable's folder, with its backslash
    std::string build_folder;    // the developer's build folder: qdm.ini stays there
  };

  // The window's instances and findings, used on the user-interface thread
  // only. `files` is also used by the worker threads, one file each.
  IntegrityCheck(platform::FileSystem& files, TProfile& profile1, TBFC_Dir& bfc_dir4,
                 std::vector<std::string>& corruption_lines, bool& corruption_found);
  // Stops the hashing not yet begun and waits for the workers.
  ~IntegrityCheck();
  IntegrityCheck(const IntegrityCheck&) = delete;
  IntegrityCheck& operator=(const IntegrityCheck&) = delete;

  // User-interface thread, once: everything up to the choice of files, then
  // the hashing is handed to the workers. on_done runs on the user-interface
  // thread once the lines are published.
  void Start(const Folders& folders, PostToUi post_to_ui, Task on_done = {});
  // The lines are published (CorruptionLines is final).
  bool Finished() const;

  // Bytes hashed so far of the chosen files' total (their sizes when chosen).
  struct Progress {
    std::uint64_t hashed = 0;
    std::uint64_t total = 0;
  };
  Progress HashingProgress() const;

 private:
  struct State;

  platform::FileSystem& files_;
  TProfile& profile1_;
  TBFC_Dir& bfc_dir4_;
  std::shared_ptr<State> state_;
  std::vector<std::thread> workers_;
};

}  // namespace archive
