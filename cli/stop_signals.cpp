#include "stop_signals.h"

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace ionvane::cli {

namespace {

sigset_t StopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

StopSignals::StopSignals(std::function<void()> onStop) {
    const sigset_t set = StopSet();
    // Blocked in this thread; threads started later (host lookups) inherit the mask, so the signal
    // waits in the signalfd for the event loop.
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) {
        return;
    }
    Descriptor = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (Descriptor < 0) {
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    // Read through Qt's file layer, which handles the interrupted and would-block cases.
    Reader.open(Descriptor, QIODevice::ReadOnly | QIODevice::Unbuffered,
                QFileDevice::DontCloseHandle);
    Notifier = std::make_unique<QSocketNotifier>(Descriptor, QSocketNotifier::Read);
    QObject::connect(Notifier.get(), &QSocketNotifier::activated, Notifier.get(),
                     [this, onStop = std::move(onStop)] {
                         signalfd_siginfo info{};
                         while (Reader.read(reinterpret_cast<char *>(&info), sizeof info) ==
                                static_cast<qint64>(sizeof info)) {
                         }
                         onStop();
                     });
}

StopSignals::~StopSignals() {
    Notifier.reset();
    Reader.close();
    // The signals stay blocked: one more SIGTERM while the program winds down must not kill it
    // before its last output is written.
    if (Descriptor >= 0) {
        close(Descriptor);
    }
}

} // namespace ionvane::cli
