#include "session_end.h"

#include <QFile>
#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace ionvane::window {

namespace {

// The write end of the pipe the handler reports through. A signal handler can reach nothing but
// file-scope state, and may call only async-signal-safe functions (write(2) is one); the rest of
// the program never touches it.
int WriteEnd = -1;

void Caught(int signalNumber) {
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Nothing to do when the pipe is full: a byte already waiting quits the program as well.
    [[maybe_unused]] const ssize_t written = ::write(WriteEnd, &byte, 1);
}

constexpr std::array CaughtSignals{SIGTERM, SIGHUP};

} // namespace

SessionEnd::SessionEnd(QObject *parent) : QObject(parent) {
    if (WriteEnd >= 0 || ::pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    WriteEnd = Pipe[1];
    struct sigaction action {};
    action.sa_handler = Caught;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : CaughtSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
    Notifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &SessionEnd::Read);
}

SessionEnd::~SessionEnd() {
    if (Notifier == nullptr) {
        return;
    }
    for (const int signalNumber : CaughtSignals) {
        std::signal(signalNumber, SIG_DFL);
    }
    WriteEnd = -1;
    ::close(Pipe[0]);
    ::close(Pipe[1]);
}

void SessionEnd::Read() {
    // Through Qt's file rather than read(2) here: the package's binaries are kept free of the C
    // library's buffer functions that fortified builds check.
    QFile pipe;
    if (!pipe.open(Pipe[0], QIODevice::ReadOnly | QIODevice::Unbuffered,
                   QFileDevice::DontCloseHandle)) {
        return;
    }
    char byte = 0;
    while (pipe.read(&byte, 1) == 1) {
        emit ending(static_cast<int>(static_cast<unsigned char>(byte)));
    }
}

} // namespace ionvane::window
