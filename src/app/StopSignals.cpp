#include "app/StopSignals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vorlan {

namespace {

int signalPipe[2] = {-1, -1};

void restoreDefaults() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

extern "C" void onStopSignal(int signal) {
    const char number = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
}

} // namespace

StopSignals::StopSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    std::signal(SIGPIPE, SIG_IGN);
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char number = 0;
        if (::read(signalPipe[0], &number, 1) != 1)
            return;
        restoreDefaults();
        notifier_->setEnabled(false);
        onSignal_(number);
    });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals() {
    restoreDefaults();
    notifier_.reset();
    for (int& end : signalPipe) {
        if (end >= 0)
            ::close(std::exchange(end, -1));
    }
}

} // namespace vorlan
