#pragma once
// The worker threads' way to the panel: tasks handed to the view's thread in order, which stop
// reaching the panel once it has closed. A synchronous call made after the close, or waiting when
// it comes, returns without running, so a worker never waits for a panel that is gone.

#include <atomic>
#include <functional>
#include <memory>

#include "ui/panel/panel_view.h"

namespace korvanel::panel {

class UiChannel {
 public:
  explicit UiChannel(UiThread& ui) : ui_(ui) {}
  // Closes the channel.
  ~UiChannel() { Close(); }
  UiChannel(const UiChannel&) = delete;
  UiChannel& operator=(const UiChannel&) = delete;

  // Any thread: runs `task` on the view's thread later, unless the channel has closed by then.
  void Post(std::function<void()> task);
  // Another thread: runs `task` on the view's thread and waits for it; returns at once, without
  // running it, when the channel closes first.
  void Invoke(std::function<void()> task);
  // The view's thread: nothing handed in from now on reaches the panel.
  void Close();

 private:
  UiThread& ui_;
  // Shared with every task in flight, so a task that runs after the close finds it closed.
  std::shared_ptr<std::atomic<bool>> open_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace korvanel::panel
