// TmGetNewVer: once per start, fetches the maker's version file, compares the
// version published there with the program's own, and when a newer one exists
// says so, offers to open the download address and ends the program. Only the
// fetch runs on a worker thread (TVInfoDownload); reading the file, comparing
// and every dialog run on the user-interface thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/ui.h"

namespace new_version {

// The built-in address of the version file and the root of its site; a
// machine may name another address (platform::Machine::VersionUrlOverride).
inline constexpr char kVersionFileUrl[] = "https://remedor.example.org/curr_ver.txt";
inline constexpr char kSiteUrl[] = "https://remedor.example.org/";
// Section and key names of the version file.
inline constexpr char kCurrentVersionsSection[] = "CurrentVersions";
inline constexpr char kDownloadUrlSection[] = "DownloadURL";
inline constexpr char kApplicationKey[] = "Remedor.exe";

inline constexpr char kFetchFailedText[] =
    "Le logiciel ne peut vérifier automatiquement si il s'agit de la dernière version de "
    "celui-ci.\rPour pouvoir vérifier si il s'agit bien de la dernière version, le logiciel a "
    "besoin de se connecter à internet.\rVous devez impérativement utiliser la dernière version "
    "du logiciel de dépannage.\rComme la vérification de version n'a pas pu être effectuée, le "
    "résultat de l'analyse n'est peut être pas fiable.";
inline constexpr char kNoOwnVersionText[] =
    "Pas d'information sur le numéro \r\nde version de ce logiciel.";
inline constexpr char kNewerVersionText[] =
    "Vous n'utilisez pas la dernière version de ce logiciel.\r\nVous devez utiliser la "
    "dernière version du logiciel de dépannage.\r\nVoulez vous la télécharger maintenant ?";
inline constexpr char kClosingText[] = "Le logiciel va se fermer.";

// a × 1,000,000 + b × 10,000 + c × 100 + d for "a.b.c.d", wrapping as 32-bit
// signed arithmetic does. nullopt when the text has fewer than four
// dot-separated parts or a part that is not a decimal 32-bit integer (an
// optional sign, then digits, no blanks). Parts after the fourth must be
// numbers too but do not weigh.
std::optional<std::int32_t> VersionWeight(std::string_view version);

enum class Comparison {
  kNewer,     // the published version weighs more
  kNotNewer,  // it does not, or one of the texts has no dot
  kMalformed  // a text with a dot that does not weigh: the check ends silently
};
Comparison ComparePublished(std::string_view published, std::string_view own);

// Only an http:// or https:// address is handed to the browser: the program
// runs with administrator rights and the version file comes from the network.
bool IsWebAddress(std::string_view address);

}  // namespace new_version

class TmGetNewVer;
class TVInfoDownload;

// (Sender, CurrentVersion, DownloadURL), on the user-interface thread.
using TOnGetURLEvent = std::function<void(TmGetNewVer* Sender, const std::string& CurrentVersion,
                                          const std::string& DownloadURL)>;
// Runs work on the user-interface thread, at its next processing of pending
// events; callable from any thread.
using PostToUiThread = std::function<void(std::function<void()>)>;

class TmGetNewVer {
 public:
  // request_end asks the application to end (after the current handler).
  TmGetNewVer(platform::Platform& platform, platform::UserInterface& ui,
              PostToUiThread post_to_ui_thread, std::function<void()> request_end);
  // Waits for a fetch still running (bounded by the download's time-out); its
  // result is then dropped.
  ~TmGetNewVer();
  TmGetNewVer(const TmGetNewVer&) = delete;
  TmGetNewVer& operator=(const TmGetNewVer&) = delete;

  // Published properties, in their published order.
  std::string URLCurrVerFile;
  std::string SiteName;  // kept, not used
  bool FailureDlg = true;
  bool DownloadDlg = true;
  std::string TempFile = "c:\\curr_ver.txt";
  TOnGetURLEvent OnGetURL;
  // The informational property: a fixed text; assignments are ignored.
  std::string About() const { return "TmGetNewVer: new-version check of Remedor"; }
  void SetAbout(std::string_view) {}

  // Starts one check and returns at once; the outcome arrives later on the
  // user-interface thread.
  void CheckNewVersion();
  // True from CheckNewVersion until the check's outcome has been handed to
  // the user-interface thread: a waiter that then finds no posted work knows
  // the outcome has run. The download bounds it.
  bool CheckUnderWay() const;

 private:
  friend class TVInfoDownload;
  // Steps after the fetch, on the user-interface thread.
  void CompareWithPublished(const std::string& local_file);
  std::string OwnVersion(const platform::VersionInfo& info) const;

  platform::Platform& platform_;
  platform::UserInterface& ui_;
  PostToUiThread post_to_ui_thread_;
  std::function<void()> request_end_;
  std::vector<std::weak_ptr<TVInfoDownload>> checks_;
};

// One check's worker: fetches the version file, hands the rest to the
// user-interface thread, waits until it has run there, and ends. Freed when
// both its thread and the handed-over work are done with it.
class TVInfoDownload : public std::enable_shared_from_this<TVInfoDownload> {
 public:
  TVInfoDownload(TmGetNewVer& owner, std::string url, std::string local_file, bool failure_dlg);
  void Start();

 private:
  friend class TmGetNewVer;
  void Execute();       // worker thread
  void Synchronized();  // user-interface thread
  void HandedBack();    // the handed-over work has run or been dropped
  bool Posted();        // the hand-over is posted, or skipped
  void Abandon();       // user-interface thread: the owner goes away

  TmGetNewVer* owner_;  // user-interface thread only; null once abandoned
  platform::Shell& shell_;
  PostToUiThread post_to_ui_thread_;
  const std::string url_;
  const std::string local_file_;
  bool fetch_failed_ = false;  // written before the hand-over, read after it
  const bool failure_dlg_;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool posted_ = false;       // the fetch is over and the hand-over posted (or skipped)
  bool handed_back_ = false;  // the user-interface thread is done with the hand-over
  bool abandoned_ = false;
};
