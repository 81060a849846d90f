#include "command_line.h"

#include <QCoreApplication>

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

// Whether standard descriptor `fd` was closed by the caller ("<&-"). It is then opened on
// /dev/null, so that the next file Qt opens does not take its number and have the program's
// input read from, or its output written into, something else.
bool ReopenIfClosed(int fd, int flags) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
        return false;
    }
    const int opened = open("/dev/null", flags | O_CLOEXEC);
    if (opened != fd && opened != -1) {
        close(opened);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    const bool inClosed = ReopenIfClosed(STDIN_FILENO, O_RDONLY);
    const bool outClosed = ReopenIfClosed(STDOUT_FILENO, O_WRONLY);
    ReopenIfClosed(STDERR_FILENO, O_WRONLY);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Ionvane");
    std::ios::sync_with_stdio(false);
    if (inClosed) {
        std::cin.setstate(std::ios::badbit);
    }
    if (outClosed) {
        std::cout.setstate(std::ios::badbit);
    }
    // Every failure is a message and exit 1: nothing may end the program with an abort.
    try {
        return ionvane::cli::RunCli(QCoreApplication::arguments(), std::cin, std::cout, std::cerr);
    } catch (const std::exception &failure) {
        std::cerr << "ionvane-cli: " << failure.what() << '\n';
    } catch (...) {
        std::cerr << "ionvane-cli: an unexpected failure\n";
    }
    return ionvane::cli::ExitNotComputed;
}
