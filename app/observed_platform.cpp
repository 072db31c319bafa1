#include "app/observed_platform.h"

namespace app {

platform::Status ObservedPlatform::Download(std::string_view url, std::string_view local_path) {
  return inner_.shell().Download(url, local_path);
}

void ObservedPlatform::OpenInBrowser(std::string_view url) {
  if (on_event) on_event({"browser", std::string(url)});
}

void ObservedPlatform::OpenFolder(std::string_view folder) {
  if (on_event) on_event({"folder", std::string(folder)});
}

}  // namespace app
