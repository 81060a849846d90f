// WSJT-X's readers: any bytes as a datagram (after a status, so that decodes reach every rule)
// and as a capture line. A datagram is never read past its end (the sanitizers see to that); a
// spot read whole has a grid of four characters, another square as its station, a frequency in a
// band followed and a time within a minute of its receipt; a decode is always recorded, and the
// same news twice is recorded once; a capture line written and read back writes the same line
// again; a highlight request read back writes the same request.
#include "calc/utf8.h"
#include "spot/band.h"
#include "spot/capture_line.h"
#include "wsjtx/capture_text.h"
#include "wsjtx/decode_reader.h"
#include "wsjtx/wsjtx_event.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace ionvane::wsjtx;

constexpr Seconds Receipt{std::chrono::seconds(1781431225)};

void Put(std::string &out, std::uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> static_cast<unsigned>(shift)) & 0xFFU);
    }
}

void PutText(std::string &out, std::string_view text) {
    Put(out, text.size(), 4);
    out += text;
}

// A status of WSJT-X on 6 m with the station in JO62, as it is on the wire.
std::string SixMetreStatus() {
    std::string out;
    Put(out, Magic, 4);
    Put(out, 2, 4);
    Put(out, static_cast<std::uint32_t>(MessageType::Status), 4);
    PutText(out, "WSJT-X");
    Put(out, 50313000, 8);
    for (const std::string_view text : {"FT8", "", "", "FT8"}) {
        PutText(out, text);
    }
    Put(out, 0, 3);
    Put(out, 1500, 4);
    Put(out, 1500, 4);
    PutText(out, "DL1ABC");
    PutText(out, "JO62");
    return out;
}

void Abort(bool fault) {
    if (fault) {
        std::abort();
    }
}

void CheckDatagram(std::string_view bytes) {
    const Datagram datagram = ReadDatagram(bytes);
    if (datagram.Problem == DatagramProblem::None) {
        Abort(ionvane::calc::ValidUtf8(datagram.Id) != datagram.Id ||
              datagram.Id.size() > 3 * bytes.size());
        Abort(datagram.Type == static_cast<std::uint32_t>(MessageType::Decode) &&
              datagram.Heard.TimeMs >= MsPerDay);
    }
    DecodeReader reader(ReaderSettings{"JO62QM", true});
    Abort(reader.Read(ReadDatagram(SixMetreStatus()), Receipt).Problem !=
          DecodeProblem::NotADecode);
    const DecodeReading reading = reader.Read(datagram, Receipt);
    const auto &spot = reading.Read;
    if (reading.Problem == DecodeProblem::None) {
        Abort(spot.FromLoc.size() != 4 || spot.ToLoc.substr(0, 4) == spot.FromLoc ||
              !(spot.FreqMHz > 0) || spot.FreqMHzText.empty());
        Abort(!ionvane::spot::BandOf(spot.FreqMHz));
        // The status gives no slot period: the slot ended no more than a minute back.
        Abort(reading.Time > Receipt + SlotTimeAhead || reading.Time < Receipt - SlotTimeBehind);
    }
    const bool decode = datagram.Problem == DatagramProblem::None &&
                        datagram.Type == static_cast<std::uint32_t>(MessageType::Decode);
    Abort(decode && !reading.Record);
    const WsjtxEvent twice = DatagramEvent(reader, Receipt, datagram);
    Abort(!decode && datagram.Problem == DatagramProblem::None && twice.Reading.Record);
    const std::string body = CaptureBody(datagram);
    const auto again = ReadCaptureBody(body);
    Abort(!again || CaptureBody(*again) != body || again->Problem != datagram.Problem);
}

// A highlight request read from any bytes, written again, reads back the same: the reader takes
// only what the writer can write.
void CheckHighlight(std::string_view bytes) {
    const auto read = ReadHighlight(bytes);
    if (!read) {
        return;
    }
    const std::string written = HighlightDatagram(read->first, read->second);
    const auto again = ReadHighlight(written);
    Abort(!again || again->first != read->first || again->second != read->second);
}

void CheckCaptureLine(std::string_view line) {
    const auto read = ReadCaptureLine(line);
    if (!read) {
        return;
    }
    const auto writeLine = [](const CapturedDatagram &captured) {
        return ionvane::spot::CaptureLine(captured.ReceivedAt.time_since_epoch().count(),
                                          CaptureBody(captured.Read));
    };
    const std::string written = writeLine(*read);
    const auto reread = ReadCaptureLine(written);
    Abort(!reread || reread->ReceivedAt != read->ReceivedAt || writeLine(*reread) != written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // A block of exactly the input's size, so that a read past the datagram is caught.
    const auto block = std::make_unique<char[]>(size);
    std::copy(data, data + size, block.get());
    const std::string_view input(block.get(), size);
    CheckDatagram(input);
    CheckCaptureLine(input);
    CheckHighlight(input);
    return 0;
}
