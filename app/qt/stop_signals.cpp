#include "app/qt/stop_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/stop_requests.h"

namespace korvanel {

void WatchStopSignals(std::function<void()> on_request) {
  platform::InstallStopRequestHandlers();
  const int descriptor = platform::StopRequestDescriptor();
  if (descriptor < 0) return;
  auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [on_request = std::move(on_request)] {
    while (platform::TakeStopRequest()) on_request();
  });
}

}  // namespace korvanel
