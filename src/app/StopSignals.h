#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace vorlan {

// Turns the first SIGINT or SIGTERM into a call on the event loop: the handler only writes
// the signal's number into a pipe that a socket notifier watches. The default handlers come
// back then, so that a second signal ends the program at once. SIGPIPE is ignored, so that a
// closed output shows as a failed write.
class StopSignals {
  public:
    explicit StopSignals(std::function<void(int signal)> onSignal);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

  private:
    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace vorlan
