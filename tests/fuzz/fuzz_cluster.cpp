// The cluster stream on arbitrary bytes: telnet filter, line splitter, line cleaning and the login
// machine, with connects, losses and timers interleaved. Lines stay clean, bounded and valid UTF-8;
// the client sends nothing but refusals of options, its call, password, commands and keep-alives.
#include "calc/utf8.h"
#include "cluster/session_machine.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace ionvane::cluster;

struct Port : SessionPort {
    std::string Sent;
    std::int64_t NowMs = 0;
    void Open() override {}
    void Close() override {}
    void Send(std::string_view bytes) override { Sent += bytes; }
    void StartTimer(SessionTimer /*timer*/, Milliseconds /*after*/) override {}
    void StopTimer(SessionTimer /*timer*/) override {}
    std::int64_t SteadyMs() override { return NowMs; }
    double Random01() override { return 0.5; }
    void Connection(const ConnectionEvent & /*event*/) override {}
    void Line(std::string_view line) override {
        // Each byte of a cut line may become the three bytes of U+FFFD.
        constexpr std::size_t MaxCleanBytes = MaxLineBytes * 3;
        if (line.empty() || line.size() > MaxCleanBytes || ionvane::calc::ValidUtf8(line) != line) {
            std::abort();
        }
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && c != '\t') || byte == 0x7f) {
                std::abort();
            }
        }
    }
};

// Removes every expected piece of what the client sent; anything left is a fault.
bool OnlyExpected(std::string sent, const SessionConfig &config) {
    std::string expected[] = {config.Call + "\r\n", config.Password + "\r\n",
                              config.Commands[0] + "\r\n", "\r\n"};
    std::size_t pos = 0;
    while (pos < sent.size()) {
        if (static_cast<unsigned char>(sent[pos]) == 0xFF && pos + 2 < sent.size() &&
            (static_cast<unsigned char>(sent[pos + 1]) == 0xFC ||
             static_cast<unsigned char>(sent[pos + 1]) == 0xFE)) {
            pos += 3;
            continue;
        }
        bool matched = false;
        for (const auto &piece : expected) {
            if (sent.compare(pos, piece.size(), piece) == 0) {
                pos += piece.size();
                matched = true;
                break;
            }
        }
        if (!matched) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    SessionConfig config;
    config.Call = "DK7UK";
    config.Password = "pw";
    config.Commands = {"set/nobeep"};
    Port port;
    SessionMachine machine(config, port);
    machine.Start();
    machine.Connected();
    // Each chunk: a control byte (its low bits choose an event, its high bits the chunk length),
    // then the bytes of the chunk.
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t control = data[pos++];
        const std::size_t length = std::min<std::size_t>(control >> 3U, size - pos);
        const std::string_view chunk(reinterpret_cast<const char *>(data + pos), length);
        pos += length;
        port.NowMs += control;
        switch (control & 7U) {
        case 0:
            machine.Failed("lost");
            break;
        case 1:
            machine.TimerFired(SessionTimer::Retry);
            machine.Connected();
            break;
        case 2:
            machine.TimerFired(SessionTimer::KeepAlive);
            break;
        case 3:
            machine.TimerFired(SessionTimer::Login);
            break;
        default:
            machine.Received(chunk);
            break;
        }
    }
    if (!OnlyExpected(port.Sent, config)) {
        std::abort();
    }
    return 0;
}
