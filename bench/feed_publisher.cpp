// Publishes every feed report of a capture file to a broker on 127.0.0.1, at QoS 0 as the feed
// itself publishes, as fast as the socket takes them; then says goodbye and leaves. The feed
// benchmark's burst.
//
//   ionvane_feed_publisher PORT CAPTURE
//   ionvane_feed_publisher PORT CAPTURE RATE START
//
// With RATE and START, report i goes out at START + i / RATE (START in ns of the monotonic clock,
// which every process of the machine shares, so that the receiver knows when each report left),
// its time ("t") set to the clock's time as it goes: the live window's burst.
#include "feed/capture_body.h"

#include <mosquitto.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

namespace {

// The feed publishes at QoS 0.
constexpr int FeedQos = 0;
// Keep-alive of the publishing session, s: a burst takes seconds.
constexpr int KeepAliveSeconds = 60;
// Longest wait of one libmosquitto loop call, ms.
constexpr int LoopWaitMs = 100;
// Loop calls before giving up on the broker's answer or on emptying the queue (about 60 s).
constexpr int MaxLoops = 600;

// Sleeps until `dueNs` of the monotonic clock.
void SleepUntil(long long dueNs) {
    timespec due{};
    due.tv_sec = static_cast<time_t>(dueNs / 1'000'000'000);
    due.tv_nsec = static_cast<long>(dueNs % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) != 0) {
    }
}

// `payload` with its report time ("t":...) set to `timeS`.
std::string WithTime(const std::string &payload, long long timeS) {
    const auto at = payload.find("\"t\":");
    if (at == std::string::npos) {
        return payload;
    }
    const auto start = at + 4;
    const auto end = payload.find_first_not_of("0123456789", start);
    return payload.substr(0, start) + std::to_string(timeS) + payload.substr(end);
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: ionvane_feed_publisher PORT CAPTURE [RATE START]\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const double rate = argc == 5 ? std::atof(argv[3]) : 0.0;
    const long long startNs = argc == 5 ? std::atoll(argv[4]) : 0;
    std::ifstream in(argv[2]);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    mosquitto_lib_init();
    mosquitto *client = mosquitto_new(nullptr, true, nullptr);
    bool connected = false;
    mosquitto_user_data_set(client, &connected);
    mosquitto_connect_callback_set(
        client, [](mosquitto *, void *flag, int code) { *static_cast<bool *>(flag) = code == 0; });
    if (client == nullptr ||
        mosquitto_connect(client, "127.0.0.1", port, KeepAliveSeconds) != MOSQ_ERR_SUCCESS) {
        std::fprintf(stderr, "cannot connect to 127.0.0.1:%d\n", port);
        return 1;
    }
    for (int i = 0; i < MaxLoops && !connected; ++i) {
        mosquitto_loop(client, LoopWaitMs, 1);
    }
    if (!connected) {
        std::fprintf(stderr, "no answer from 127.0.0.1:%d\n", port);
        return 1;
    }
    long published = 0;
    for (std::string line; std::getline(in, line);) {
        const auto report = ionvane::feed::ReadCaptureLine(line);
        if (!report) {
            continue;
        }
        std::string payload = report->Payload;
        if (rate > 0) {
            SleepUntil(startNs +
                       static_cast<long long>(static_cast<double>(published) * 1e9 / rate));
            payload = WithTime(payload, static_cast<long long>(std::time(nullptr)));
        }
        // Written at once while the socket takes it, queued in libmosquitto otherwise.
        if (mosquitto_publish(client, nullptr, report->Topic.c_str(),
                              static_cast<int>(payload.size()), payload.data(), FeedQos,
                              false) != MOSQ_ERR_SUCCESS) {
            std::fprintf(stderr, "publish failed after %ld reports\n", published);
            return 1;
        }
        ++published;
        while (mosquitto_want_write(client)) {
            mosquitto_loop_write(client, 1);
            if (mosquitto_want_write(client)) {
                mosquitto_loop(client, LoopWaitMs, 1);
            }
        }
    }
    mosquitto_disconnect(client);
    for (int i = 0; i < MaxLoops && mosquitto_loop(client, LoopWaitMs, 1) == MOSQ_ERR_SUCCESS;
         ++i) {
    }
    mosquitto_destroy(client);
    mosquitto_lib_cleanup();
    return 0;
}
