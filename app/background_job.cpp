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

}  // namespace app
