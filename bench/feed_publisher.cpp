// Publishes every feed report of a capture file to a broker on 127.0.0.1, at QoS 0 as the feed
// itself publishes, as fast as the socket takes them; then says goodbye and leaves. The feed
// benchmark's burst.
//
//   ionvane_feed_publisher PORT CAPTURE
#include "feed/capture_line.h"

#include <mosquitto.h>

#include <cstdio>
#include <cstdlib>
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

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ionvane_feed_publisher PORT CAPTURE\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
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
        // Written at once while the socket takes it, queued in libmosquitto otherwise.
        if (mosquitto_publish(client, nullptr, report->Topic.c_str(),
                              static_cast<int>(report->Payload.size()), report->Payload.data(),
                              FeedQos, false) != MOSQ_ERR_SUCCESS) {
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
