#include "capture_text.h"

#include "calc/utf8.h"
#include "spot/capture_line.h"
#include "spot/percent_text.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <type_traits>

namespace ionvane::wsjtx {

namespace {

// What follows the tab in a WSJT-X line; cluster and feed lines never start so.
constexpr std::string_view WsjtxMark = "WSJTX ";

struct TypeName {
    MessageType Type;
    std::string_view Name;
};

constexpr TypeName TypeNames[] = {
    {MessageType::Heartbeat, "Heartbeat"}, {MessageType::Status, "Status"},
    {MessageType::Decode, "Decode"},       {MessageType::Clear, "Clear"},
    {MessageType::Close, "Close"},
};

constexpr std::string_view OtherName = "Other";
constexpr std::string_view UnreadName = "Unread";

// Calls `visit(name, field)` for every field of the datagram's type, in the order of the wire.
template <typename D, typename Visit> void EachField(D &datagram, Visit &&visit) {
    visit("id", datagram.Id);
    visit("schema", datagram.Schema);
    switch (static_cast<MessageType>(datagram.Type)) {
    case MessageType::Heartbeat:
        visit("max-schema", datagram.Beat.MaxSchema);
        visit("version", datagram.Beat.Version);
        visit("revision", datagram.Beat.Revision);
        break;
    case MessageType::Status: {
        auto &state = datagram.State;
        visit("dial-hz", state.DialFreqHz);
        visit("mode", state.Mode);
        visit("dx-call", state.DxCall);
        visit("report", state.Report);
        visit("tx-mode", state.TxMode);
        visit("tx-enabled", state.TxEnabled);
        visit("transmitting", state.Transmitting);
        visit("decoding", state.Decoding);
        visit("rx-df", state.RxDfHz);
        visit("tx-df", state.TxDfHz);
        visit("de-call", state.DeCall);
        visit("de-grid", state.DeGrid);
        visit("dx-grid", state.DxGrid);
        visit("tx-watchdog", state.TxWatchdog);
        visit("sub-mode", state.SubMode);
        visit("fast-mode", state.FastMode);
        visit("special-operation", state.SpecialOperation);
        visit("frequency-tolerance", state.FreqToleranceHz);
        visit("tr-period", state.TrPeriodS);
        visit("configuration", state.ConfigurationName);
        visit("tx-message", state.TxMessage);
        break;
    }
    case MessageType::Decode: {
        auto &heard = datagram.Heard;
        visit("new", heard.New);
        visit("time-ms", heard.TimeMs);
        visit("snr", heard.SnrDb);
        visit("dt", heard.DeltaTimeS);
        visit("df", heard.DeltaFreqHz);
        visit("mode", heard.Mode);
        visit("message", heard.Message);
        visit("low-confidence", heard.LowConfidence);
        visit("off-air", heard.OffAir);
        break;
    }
    case MessageType::Clear:
    case MessageType::Close:
        break;
    default:
        visit("type", datagram.Type);
        break;
    }
}

template <typename T> std::string NumberText(T value) {
    std::array<char, 64> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), written.ptr);
}

template <typename T> T NumberOf(std::string_view text) {
    T value{};
    const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size()) {
        return T{};
    }
    return value;
}

std::string_view NameOfType(std::uint32_t type) {
    for (const auto &known : TypeNames) {
        if (static_cast<std::uint32_t>(known.Type) == type) {
            return known.Name;
        }
    }
    return OtherName;
}

} // namespace

std::string CaptureBody(const Datagram &datagram) {
    std::string body(WsjtxMark);
    if (datagram.Problem != DatagramProblem::None &&
        datagram.Problem != DatagramProblem::OtherType) {
        body += UnreadName;
        body += " problem=";
        body += DatagramProblemName(datagram.Problem);
        return body;
    }
    body += datagram.Problem == DatagramProblem::OtherType ? OtherName : NameOfType(datagram.Type);
    EachField(datagram, [&](std::string_view name, const auto &value) {
        using T = std::decay_t<decltype(value)>;
        body += ' ';
        body += name;
        body += '=';
        if constexpr (std::is_same_v<T, std::string>) {
            spot::AppendPercentEscaped(body, value);
        } else if constexpr (std::is_same_v<T, bool>) {
            body += value ? '1' : '0';
        } else if constexpr (std::is_same_v<T, std::uint8_t>) {
            body += NumberText(static_cast<unsigned>(value));
        } else {
            body += NumberText(value);
        }
    });
    return body;
}

std::optional<Datagram> ReadCaptureBody(std::string_view body) {
    if (!body.starts_with(WsjtxMark)) {
        return std::nullopt;
    }
    body.remove_prefix(WsjtxMark.size());
    const std::string_view typeName = body.substr(0, body.find(' '));
    std::map<std::string_view, std::string_view> values;
    std::size_t at = typeName.size();
    while (at < body.size()) {
        const std::size_t start = body.find_first_not_of(' ', at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(body.find(' ', start), body.size());
        const std::string_view field = body.substr(start, end - start);
        const std::size_t equals = field.find('=');
        if (equals != std::string_view::npos) {
            values.emplace(field.substr(0, equals), field.substr(equals + 1));
        }
        at = end;
    }

    Datagram datagram;
    if (typeName == UnreadName) {
        datagram.Problem = DatagramProblemOfName(values["problem"]);
        // A problem name not known (a line edited by hand) still reads as a datagram not read.
        if (datagram.Problem == DatagramProblem::None ||
            datagram.Problem == DatagramProblem::OtherType) {
            datagram.Problem = DatagramProblem::Short;
        }
        return datagram;
    }
    datagram.Problem = DatagramProblem::None;
    if (typeName == OtherName) {
        datagram.Problem = DatagramProblem::OtherType;
        datagram.Type = NumberOf<std::uint32_t>(values["type"]);
        // An "Other" line naming a type read here is no line this program wrote; it stays other.
        if (IsReadType(datagram.Type)) {
            datagram.Type = std::numeric_limits<std::uint32_t>::max();
        }
    } else {
        bool known = false;
        for (const auto &type : TypeNames) {
            if (type.Name == typeName) {
                datagram.Type = static_cast<std::uint32_t>(type.Type);
                known = true;
            }
        }
        if (!known) {
            return std::nullopt;
        }
    }
    EachField(datagram, [&](std::string_view name, auto &value) {
        using T = std::decay_t<decltype(value)>;
        const auto found = values.find(name);
        if (found == values.end()) {
            return;
        }
        const std::string_view text = found->second;
        if constexpr (std::is_same_v<T, std::string>) {
            value = calc::ValidUtf8(spot::PercentDecoded(text));
        } else if constexpr (std::is_same_v<T, bool>) {
            value = text == "1";
        } else if constexpr (std::is_same_v<T, std::uint8_t>) {
            const unsigned number = NumberOf<unsigned>(text);
            value = number > 0xFFU ? std::uint8_t{0} : static_cast<std::uint8_t>(number);
        } else {
            value = NumberOf<T>(text);
        }
    });
    if (datagram.Type == static_cast<std::uint32_t>(MessageType::Decode) &&
        datagram.Heard.TimeMs >= MsPerDay) {
        datagram.Problem = DatagramProblem::BadTime;
    }
    return datagram;
}

std::optional<CapturedDatagram> ReadCaptureLine(std::string_view line) {
    const auto captured = spot::ReadCaptureLine(spot::WithoutLineEnd(line));
    if (!captured) {
        return std::nullopt;
    }
    auto datagram = ReadCaptureBody(captured->Line);
    if (!datagram) {
        return std::nullopt;
    }
    return CapturedDatagram{Seconds(std::chrono::seconds(captured->Time)), std::move(*datagram)};
}

} // namespace ionvane::wsjtx
