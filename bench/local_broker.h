// A mosquitto of the benchmarks' own on 127.0.0.1: an ephemeral port, a config of its own.
#pragma once

#include "child_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace ionvane::bench {

// The longest wait for the broker to take connections, and the pause between two tries, ms.
constexpr int ListenWaitMs = 10000;
constexpr int ListenProbeMs = 50;

inline std::uint16_t FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(s, reinterpret_cast<sockaddr *>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr *>(&address), &size);
    close(s);
    return ntohs(address.sin_port);
}

// Whether something takes connections on 127.0.0.1:`port` within ListenWaitMs.
inline bool Listening(std::uint16_t port) {
    for (int waited = 0; waited < ListenWaitMs; waited += ListenProbeMs) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const bool taken = connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        close(s);
        if (taken) {
            return true;
        }
        usleep(ListenProbeMs * 1000);
    }
    return false;
}

inline void StopBroker(const struct LocalBroker &broker);

/// A broker started on `core` with its config in `dir`, or none (Pid 0) when it did not listen.
struct LocalBroker {
    pid_t Pid = 0;
    std::uint16_t Port = 0;
};

inline LocalBroker StartBroker(const std::string &mosquitto, const std::filesystem::path &dir,
                               int core) {
    LocalBroker broker;
    broker.Port = FreePort();
    const std::filesystem::path config = dir / "mosquitto.conf";
    {
        std::ofstream out(config);
        // No limit on the messages queued for a subscriber: mosquitto drops QoS 0 messages past
        // 1,000 queued by default, and a burst must reach its receiver whole.
        out << "listener " << broker.Port << " 127.0.0.1\nallow_anonymous true\npersistence false\n"
            << "max_queued_messages 0\nlog_dest none\n";
    }
    broker.Pid = StartPinned({mosquitto, "-c", config.string()}, core, "", "");
    if (!Listening(broker.Port)) {
        StopBroker(broker);
        broker.Pid = 0;
    }
    return broker;
}

inline void StopBroker(const LocalBroker &broker) {
    if (broker.Pid > 0) {
        kill(broker.Pid, SIGTERM);
        waitpid(broker.Pid, nullptr, 0);
    }
}

} // namespace ionvane::bench
