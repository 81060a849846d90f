#include "datagram.h"

#include "calc/utf8.h"

#include <bit>
#include <cstring>

namespace ionvane::wsjtx {

namespace {

// A Qt data stream writes a null byte array as this length and no bytes.
constexpr std::uint32_t NullLength = 0xFFFFFFFFU;

enum class Nulls { Allowed, Refused };

// Reads a big-endian data stream without ever passing its end: the first failure is kept and
// every later read gives zero values, so a body reads field by field without a check after each.
class StreamReader {
  public:
    explicit StreamReader(std::string_view bytes) : Bytes(bytes) {}

    [[nodiscard]] DatagramProblem Problem() const { return Failed; }
    [[nodiscard]] bool AtEnd() const {
        return Failed == DatagramProblem::None && At == Bytes.size();
    }

    std::uint64_t Unsigned(std::size_t size) {
        if (Failed != DatagramProblem::None) {
            return 0;
        }
        if (Bytes.size() - At < size) {
            Failed = DatagramProblem::Short;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value = (value << 8U) | static_cast<unsigned char>(Bytes[At + i]);
        }
        At += size;
        return value;
    }

    std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    std::uint64_t U64() { return Unsigned(8); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    bool Bool() { return U8() != 0; }
    double Double() { return std::bit_cast<double>(U64()); }

    std::string Text(Nulls nulls) {
        const std::uint32_t length = U32();
        if (Failed != DatagramProblem::None) {
            return {};
        }
        if (length == NullLength) {
            if (nulls == Nulls::Refused) {
                Failed = DatagramProblem::NullText;
            }
            return {};
        }
        if (Bytes.size() - At < length) {
            Failed = DatagramProblem::TextTooLong;
            return {};
        }
        const std::string_view text = Bytes.substr(At, length);
        At += length;
        return calc::ValidUtf8(text);
    }

  private:
    std::string_view Bytes;
    std::size_t At = 0;
    DatagramProblem Failed = DatagramProblem::None;
};

void ReadHeartbeat(StreamReader &in, Heartbeat &beat) {
    beat.MaxSchema = in.U32();
    beat.Version = in.Text(Nulls::Allowed);
    beat.Revision = in.Text(Nulls::Allowed);
}

void ReadStatus(StreamReader &in, Status &state) {
    state.DialFreqHz = in.U64();
    state.Mode = in.Text(Nulls::Allowed);
    state.DxCall = in.Text(Nulls::Allowed);
    state.Report = in.Text(Nulls::Allowed);
    state.TxMode = in.Text(Nulls::Allowed);
    state.TxEnabled = in.Bool();
    state.Transmitting = in.Bool();
    state.Decoding = in.Bool();
    state.RxDfHz = in.U32();
    state.TxDfHz = in.U32();
    state.DeCall = in.Text(Nulls::Allowed);
    state.DeGrid = in.Text(Nulls::Allowed);
    // Older versions end here or after any later field; a field cut in half is still short.
    const auto later = [&](auto read) {
        if (in.AtEnd() || in.Problem() != DatagramProblem::None) {
            return;
        }
        read();
    };
    later([&] { state.DxGrid = in.Text(Nulls::Allowed); });
    later([&] { state.TxWatchdog = in.Bool(); });
    later([&] { state.SubMode = in.Text(Nulls::Allowed); });
    later([&] { state.FastMode = in.Bool(); });
    later([&] { state.SpecialOperation = in.U8(); });
    later([&] { state.FreqToleranceHz = in.U32(); });
    later([&] { state.TrPeriodS = in.U32(); });
    later([&] { state.ConfigurationName = in.Text(Nulls::Allowed); });
    later([&] { state.TxMessage = in.Text(Nulls::Allowed); });
}

void ReadDecode(StreamReader &in, Decode &heard) {
    heard.New = in.Bool();
    heard.TimeMs = in.U32();
    heard.SnrDb = in.I32();
    heard.DeltaTimeS = in.Double();
    heard.DeltaFreqHz = in.U32();
    heard.Mode = in.Text(Nulls::Refused);
    heard.Message = in.Text(Nulls::Refused);
    heard.LowConfidence = in.Bool();
    heard.OffAir = in.Bool();
}

} // namespace

std::string_view DatagramProblemText(DatagramProblem problem) {
    switch (problem) {
    case DatagramProblem::None:
        return "";
    case DatagramProblem::TooLong:
        return "The datagram is too long for a WSJT-X message";
    case DatagramProblem::Short:
        return "The datagram ends inside a field";
    case DatagramProblem::WrongMagic:
        return "Not a WSJT-X message (wrong magic number)";
    case DatagramProblem::UnknownSchema:
        return "A WSJT-X message of an unknown schema";
    case DatagramProblem::TextTooLong:
        return "A text of the message runs past the end of the datagram";
    case DatagramProblem::NullText:
        return "A text the message needs is null";
    case DatagramProblem::BadTime:
        return "The decode's time of day is past 24 hours";
    case DatagramProblem::OtherType:
        return "A WSJT-X message of a type not read";
    }
    return "";
}

namespace {

struct ProblemName {
    DatagramProblem Problem;
    std::string_view Name;
};

constexpr ProblemName ProblemNames[] = {
    {DatagramProblem::TooLong, "too-long"},
    {DatagramProblem::Short, "short"},
    {DatagramProblem::WrongMagic, "wrong-magic"},
    {DatagramProblem::UnknownSchema, "unknown-schema"},
    {DatagramProblem::TextTooLong, "text-too-long"},
    {DatagramProblem::NullText, "null-text"},
    {DatagramProblem::BadTime, "bad-time"},
    {DatagramProblem::OtherType, "other-type"},
};

} // namespace

std::string_view DatagramProblemName(DatagramProblem problem) {
    for (const auto &known : ProblemNames) {
        if (known.Problem == problem) {
            return known.Name;
        }
    }
    return "";
}

DatagramProblem DatagramProblemOfName(std::string_view name) {
    for (const auto &known : ProblemNames) {
        if (known.Name == name) {
            return known.Problem;
        }
    }
    return DatagramProblem::None;
}

bool IsReadType(std::uint32_t type) {
    switch (static_cast<MessageType>(type)) {
    case MessageType::Heartbeat:
    case MessageType::Status:
    case MessageType::Decode:
    case MessageType::Clear:
    case MessageType::Close:
        return true;
    }
    return false;
}

namespace {

std::optional<Rgb> ReadColour(StreamReader &in) {
    constexpr std::uint8_t RgbSpec = 1;
    const std::uint8_t spec = in.U8();
    in.Unsigned(2); // alpha: the highlights are opaque
    Rgb rgb;
    // 16 bits a channel; the high byte is the 8-bit value.
    constexpr unsigned HighByte = 8;
    rgb.Red = static_cast<std::uint8_t>(in.Unsigned(2) >> HighByte);
    rgb.Green = static_cast<std::uint8_t>(in.Unsigned(2) >> HighByte);
    rgb.Blue = static_cast<std::uint8_t>(in.Unsigned(2) >> HighByte);
    in.Unsigned(2); // pad
    return spec == RgbSpec ? std::optional<Rgb>(rgb) : std::nullopt;
}

} // namespace

std::optional<std::pair<std::string, Highlight>> ReadHighlight(std::string_view bytes) {
    StreamReader in(bytes);
    const std::uint32_t magic = in.U32();
    const std::uint32_t schema = in.U32();
    const std::uint32_t type = in.U32();
    std::string id = in.Text(Nulls::Refused);
    if (magic != Magic || schema < OldestSchema || schema > NewestSchema ||
        type != HighlightCallsignType) {
        return std::nullopt;
    }
    Highlight highlight;
    highlight.Call = in.Text(Nulls::Refused);
    highlight.Background = ReadColour(in);
    highlight.Foreground = ReadColour(in);
    highlight.HighlightLast = in.Bool();
    if (in.Problem() != DatagramProblem::None) {
        return std::nullopt;
    }
    return std::pair{std::move(id), std::move(highlight)};
}

Datagram ReadDatagram(std::string_view bytes) {
    Datagram datagram;
    if (bytes.size() > MaxDatagramBytes) {
        datagram.Problem = DatagramProblem::TooLong;
        return datagram;
    }
    StreamReader in(bytes);
    const std::uint32_t magic = in.U32();
    if (in.Problem() == DatagramProblem::None && magic != Magic) {
        datagram.Problem = DatagramProblem::WrongMagic;
        return datagram;
    }
    datagram.Schema = in.U32();
    if (in.Problem() == DatagramProblem::None &&
        (datagram.Schema < OldestSchema || datagram.Schema > NewestSchema)) {
        datagram.Problem = DatagramProblem::UnknownSchema;
        return datagram;
    }
    datagram.Type = in.U32();
    datagram.Id = in.Text(Nulls::Refused);
    if (in.Problem() != DatagramProblem::None) {
        datagram.Problem = in.Problem();
        return datagram;
    }
    switch (static_cast<MessageType>(datagram.Type)) {
    case MessageType::Heartbeat:
        ReadHeartbeat(in, datagram.Beat);
        break;
    case MessageType::Status:
        ReadStatus(in, datagram.State);
        break;
    case MessageType::Decode:
        ReadDecode(in, datagram.Heard);
        break;
    case MessageType::Clear:
    case MessageType::Close:
        break;
    default:
        datagram.Problem = DatagramProblem::OtherType;
        return datagram;
    }
    datagram.Problem = in.Problem();
    if (datagram.Problem == DatagramProblem::None &&
        datagram.Type == static_cast<std::uint32_t>(MessageType::Decode) &&
        datagram.Heard.TimeMs >= MsPerDay) {
        datagram.Problem = DatagramProblem::BadTime;
    }
    return datagram;
}

} // namespace ionvane::wsjtx
