#include "ui/panel/ui_channel.h"

#include <chrono>
#include <future>

namespace korvanel::panel {

void UiChannel::Post(std::function<void()> task) {
  if (!open_->load()) return;
  ui_.Post([open = open_, task = std::move(task)] {
    if (open->load()) task();
  });
}

void UiChannel::Invoke(std::function<void()> task) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  Post([task = std::move(task), done] {
    task();
    done->set_value();
  });
  // Checked now and then, so a close while the task waits in the view's queue frees the worker.
  constexpr auto kCheckPeriod = std::chrono::milliseconds(50);
  while (finished.wait_for(kCheckPeriod) != std::future_status::ready) {
    if (!open_->load()) return;
  }
}

void UiChannel::Close() { open_->store(false); }

}  // namespace korvanel::panel
