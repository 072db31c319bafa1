#include "app/background_job.h"

namespace app {

void BackgroundJob::Start(EventLoop& loop, std::function<void()> work) {
  started_ = true;
  loop.Post([this, work = std::move(work)] {
    // The worker ends when its work returns, also when that work raised.
    struct Done {
      bool& flag;
      ~Done() { flag = true; }
    } done{work_returned_};
    work();
  });
}

void BackgroundJob::StartDeferred(EventLoop& loop,
                                  std::function<void(std::function<void()> done)> work) {
  started_ = true;
  loop.Post([this, work = std::move(work)] {
    try {
      work([this] { work_returned_ = true; });
    } catch (...) {
      work_returned_ = true;
      throw;
    }
  });
}

}  // namespace app
