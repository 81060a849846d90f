#include "highlight_writer.h"

#include "datagram.h"

namespace ionvane::wsjtx {

namespace {

// A QColor in a Qt data stream (version 7 and later): the spec as qint8, then alpha, red, green,
// blue and a pad as quint16 each. Spec 1 is RGB; 0 is the invalid colour, written as Qt writes
// a default QColor (alpha 0xFFFF, the rest 0).
constexpr std::uint8_t RgbSpec = 1;
constexpr std::uint8_t InvalidSpec = 0;
constexpr std::uint16_t FullAlpha = 0xFFFF;
// Qt keeps 16 bits a channel: an 8-bit value v is v * 0x101 (0xFF -> 0xFFFF).
constexpr std::uint16_t EightTo16Bits = 0x101;

void Put(std::string &out, std::uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> static_cast<unsigned>(shift)) & 0xFFU));
    }
}

void PutText(std::string &out, std::string_view text) {
    Put(out, text.size(), 4);
    out.append(text);
}

void PutColour(std::string &out, const std::optional<Rgb> &colour) {
    Put(out, colour ? RgbSpec : InvalidSpec, 1);
    Put(out, FullAlpha, 2);
    const Rgb rgb = colour.value_or(Rgb{});
    for (const std::uint8_t channel : {rgb.Red, rgb.Green, rgb.Blue}) {
        Put(out, static_cast<std::uint16_t>(channel * EightTo16Bits), 2);
    }
    Put(out, 0, 2);
}

} // namespace

std::string HighlightDatagram(std::string_view id, const Highlight &highlight,
                              std::uint32_t schema) {
    std::string out;
    Put(out, Magic, 4);
    Put(out, schema, 4);
    Put(out, HighlightCallsignType, 4);
    PutText(out, id);
    PutText(out, highlight.Call);
    PutColour(out, highlight.Background);
    PutColour(out, highlight.Foreground);
    Put(out, highlight.HighlightLast ? 1 : 0, 1);
    return out;
}

} // namespace ionvane::wsjtx
