// The rotator's reading of rotctld's answers: any bytes, split into lines, as the answers to a
// turn, a question and a stop, with drops between. The machine never stalls with nothing in
// flight, never reports a position that is no number, and says every refusal in words.
#include "alarm/rotator_machine.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace ionvane::alarm;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    RotatorMachine machine;
    machine.SetFollow(true);
    machine.Start(0);
    machine.Connected(0);
    std::int64_t nowMs = 0;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string line(bytes.substr(start, std::min(end - start, RotctldLineBytes)));
        nowMs += 1000;
        switch (line.empty() ? 0 : static_cast<unsigned char>(line[0]) % 5) {
        case 0:
            machine.TurnTo(static_cast<double>(line.size()) * 7.5, nowMs);
            break;
        case 1:
            machine.AskPosition(nowMs);
            break;
        case 2:
            machine.Stop(nowMs);
            break;
        case 3:
            machine.Lost("dropped", nowMs, 0.5);
            machine.RetryDue(nowMs);
            machine.Connected(nowMs);
            break;
        default:
            machine.Headline(static_cast<double>(line.size()), nowMs * 60, nowMs);
            break;
        }
        const RotatorActions actions = machine.Line(line, nowMs);
        for (const std::string &words : actions.Words) {
            if (words.empty()) {
                std::abort();
            }
        }
        if (const auto position = machine.PositionDeg(); position && !std::isfinite(*position)) {
            std::abort();
        }
        machine.RetryDue(nowMs);
        start = end + 1;
    }
    return 0;
}
