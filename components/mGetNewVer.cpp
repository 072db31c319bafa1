#include "components/mGetNewVer.h"

#include <algorithm>
#include <charconv>
#include <thread>

#include "platform/text.h"

namespace new_version {

namespace {

// StrToInt's decimal form: an optional sign, then digits, nothing else.
std::optional<std::int32_t> DecimalPart(std::string_view text) {
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-')) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::int32_t> VersionWeight(std::string_view version) {
  static constexpr std::uint32_t kFactors[4] = {1'000'000, 10'000, 100, 1};
  std::uint32_t weight = 0;
  std::size_t parts = 0;
  for (;;) {
    const auto dot = version.find('.');
    const auto part = DecimalPart(version.substr(0, dot));
    if (!part) return std::nullopt;
    // Unsigned arithmetic wraps where 32-bit signed arithmetic would overflow.
    if (parts < 4) weight += static_cast<std::uint32_t>(*part) * kFactors[parts];
    ++parts;
    if (dot == std::string_view::npos) break;
    version.remove_prefix(dot + 1);
  }
  if (parts < 4) return std::nullopt;
  return static_cast<std::int32_t>(weight);
}

Comparison ComparePublished(std::string_view published, std::string_view own) {
  if (published.find('.') == std::string_view::npos || own.find('.') == std::string_view::npos) {
    return Comparison::kNotNewer;
  }
  const auto published_weight = VersionWeight(published);
  const auto own_weight = VersionWeight(own);
  if (!published_weight || !own_weight) return Comparison::kMalformed;
  return *published_weight > *own_weight ? Comparison::kNewer : Comparison::kNotNewer;
}

bool IsWebAddress(std::string_view address) {
  for (char c : address) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '\x7F') return false;
  }
  for (std::string_view scheme : {"http://", "https://"}) {
    if (address.size() > scheme.size() &&
        platform::EqualsIgnoreCase(address.substr(0, scheme.size()), scheme)) {
      return true;
    }
  }
  return false;
}

}  // namespace new_version

namespace {

// Own-version candidates, in the order their texts are listed; the first
// found is taken.
constexpr const char* kOwnVersionNames[] = {"FileVersion", "LegalCopyright", "ProductName",
                                            "ProductVersion"};
constexpr std::size_t kProfileBufferSize = 2048;

}  // namespace

TmGetNewVer::TmGetNewVer(platform::Platform& platform, platform::UserInterface& ui,
                         PostToUiThread post_to_ui_thread, std::function<void()> request_end)
    : platform_(platform),
      ui_(ui),
      post_to_ui_thread_(std::move(post_to_ui_thread)),
      request_end_(std::move(request_end)) {}

TmGetNewVer::~TmGetNewVer() {
  for (const auto& weak : checks_) {
    if (const auto check = weak.lock()) check->Abandon();
  }
}

void TmGetNewVer::CheckNewVersion() {
  std::erase_if(checks_, [](const auto& weak) { return weak.expired(); });
  auto check = std::make_shared<TVInfoDownload>(*this, URLCurrVerFile, TempFile, FailureDlg);
  checks_.push_back(check);
  check->Start();
}

bool TmGetNewVer::CheckUnderWay() const {
  return std::any_of(checks_.begin(), checks_.end(), [](const auto& weak) {
    const auto check = weak.lock();
    return check && !check->Posted();
  });
}

std::string TmGetNewVer::OwnVersion(const platform::VersionInfo& info) const {
  for (const char* name : kOwnVersionNames) {
    for (const auto& [key, value] : info.strings) {
      if (key == name) return value;
    }
  }
  return {};
}

void TmGetNewVer::CompareWithPublished(const std::string& local_file) {
  platform::Machine& machine = platform_.machine();
  const auto own_info = machine.ReadVersionInfo(machine.SelfExecutable());
  if (!own_info) {
    ui_.ShowMessage(platform::MessageKind::kInformation, new_version::kNoOwnVersionText);
    return;
  }
  const std::string own = OwnVersion(*own_info);

  platform::ProfileStrings& profile = platform_.profile();
  const std::string current =
      profile.GetString(new_version::kCurrentVersionsSection, new_version::kApplicationKey, "",
                        kProfileBufferSize, local_file);
  const std::string download_url =
      profile.GetString(new_version::kDownloadUrlSection, new_version::kApplicationKey, "",
                        kProfileBufferSize, local_file);
  if (OnGetURL) OnGetURL(this, current, download_url);

  if (new_version::ComparePublished(current, own) != new_version::Comparison::kNewer ||
      !DownloadDlg) {
    return;
  }
  const auto answer =
      ui_.ShowMessage(platform::MessageKind::kConfirmation, new_version::kNewerVersionText);
  if (answer == platform::MessageAnswer::kYes && new_version::IsWebAddress(download_url)) {
    platform_.shell().OpenInBrowser(download_url);
  } else {
    // No, or an address that is not for a browser: nothing is opened.
    ui_.ShowMessage(platform::MessageKind::kInformation, new_version::kClosingText);
  }
  request_end_();
}

TVInfoDownload::TVInfoDownload(TmGetNewVer& owner, std::string url, std::string local_file,
                               bool failure_dlg)
    : owner_(&owner),
      shell_(owner.platform_.shell()),
      post_to_ui_thread_(owner.post_to_ui_thread_),
      url_(std::move(url)),
      local_file_(std::move(local_file)),
      failure_dlg_(failure_dlg) {}

void TVInfoDownload::Start() {
  std::thread([self = shared_from_this()] { self->Execute(); }).detach();
}

void TVInfoDownload::Execute() {
  fetch_failed_ = !shell_.Download(url_, local_file_).ok();
  bool abandoned;
  {
    std::lock_guard lock(mutex_);
    abandoned = abandoned_;
  }
  if (!abandoned) {
    // Lives as long as some copy of the handed-over work does: when the last
    // copy goes (it ran, or was dropped with the queue), the worker may end.
    std::shared_ptr<void> hand_back(nullptr,
                                    [self = shared_from_this()](void*) { self->HandedBack(); });
    post_to_ui_thread_([self = shared_from_this(), hand_back] { self->Synchronized(); });
  }
  std::unique_lock lock(mutex_);
  posted_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return handed_back_ || abandoned_; });
}

void TVInfoDownload::Synchronized() {
  if (!owner_) return;
  if (fetch_failed_ && failure_dlg_) {
    owner_->ui_.ShowMessage(platform::MessageKind::kWarning, new_version::kFetchFailedText);
    return;
  }
  owner_->CompareWithPublished(local_file_);
}

bool TVInfoDownload::Posted() {
  std::lock_guard lock(mutex_);
  return posted_;
}

void TVInfoDownload::HandedBack() {
  std::lock_guard lock(mutex_);
  handed_back_ = true;
  changed_.notify_all();
}

void TVInfoDownload::Abandon() {
  owner_ = nullptr;
  std::unique_lock lock(mutex_);
  abandoned_ = true;
  changed_.notify_all();
  // The worker uses the shell and the posting function until it has posted.
  changed_.wait(lock, [this] { return posted_; });
}
