#include "decode_reader.h"

#include "calc/locator.h"
#include "calc/number_text.h"
#include "message_grid.h"
#include "spot/band.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace ionvane::wsjtx {

namespace {

// Hz to MHz: the decimal point moves six places.
constexpr int HzPerMHzDigits = 6;

constexpr std::string_view MeteorScatterMode = "MSK144";
constexpr std::string_view Q65Mode = "Q65";

struct ModeCharacter {
    std::string_view Character;
    std::string_view Mode;
};

// The characters WSJT-X puts in a decode's mode field.
constexpr std::array<ModeCharacter, 7> ModeCharacters = {{
    {"~", "FT8"},
    {"+", "FT4"},
    {"&", "MSK144"},
    {":", "Q65"},
    {"#", "JT65"},
    {"@", "JT9"},
    {"`", "FST4"},
}};

// A locator of 4, 6 or 8 characters, as WSJT-X takes the user's grid, cut to six; "" for
// anything else.
std::string OwnLocator(std::string_view text) {
    if (text.size() != 4 && text.size() != 6 && text.size() != 8) {
        return {};
    }
    std::string upper;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        const int position = static_cast<int>(i < 6 ? i + 1 : i - 3);
        if (!calc::IsLocatorCharacter(static_cast<unsigned char>(c), position)) {
            return {};
        }
        upper += c;
    }
    return upper.substr(0, 6);
}

std::string MHzText(std::uint64_t hz) {
    std::array<char, 24> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), hz);
    return spot::ShiftDecimal(std::string_view(digits.data(), written.ptr), HzPerMHzDigits);
}

} // namespace

std::string_view DecodeProblemText(DecodeProblem problem, DatagramProblem unread) {
    switch (problem) {
    case DecodeProblem::None:
    case DecodeProblem::NotADecode:
        return "";
    case DecodeProblem::Unreadable:
        return DatagramProblemText(unread);
    case DecodeProblem::SentAgain:
        return "An earlier decode sent again";
    case DecodeProblem::OffAir:
        return "Decoded from a recording, not on the air";
    case DecodeProblem::LowConfidence:
        return "Low-confidence decode";
    case DecodeProblem::MeteorScatter:
        return "MSK144 is meteor scatter, not Es";
    case DecodeProblem::Q65:
        return "Q65 is scatter and EME, not Es";
    case DecodeProblem::NoGrid:
        return "No grid of the sender in the message";
    case DecodeProblem::NoDial:
        return "No dial frequency yet: no status from WSJT-X";
    case DecodeProblem::NoOwnLocator:
        return "No locator of the station: no grid in WSJT-X and no home locator";
    case DecodeProblem::OwnSquare:
        return "The sender is in the station's own square";
    case DecodeProblem::Repeated:
        return "The same call on the same band counted less than 2 minutes ago";
    case DecodeProblem::OffBand:
        return "The dial and audio offset lie outside the 10, 6, 4 and 2 m bands";
    case DecodeProblem::TimeBehind:
        return "The decode's time lies more than a minute before its receipt";
    }
    return "";
}

std::string_view ModeOfCharacter(std::string_view character) {
    for (const auto &known : ModeCharacters) {
        if (known.Character == character) {
            return known.Mode;
        }
    }
    return {};
}

Seconds SlotTime(std::uint32_t timeMs, Seconds receivedAt) {
    const auto midnight = std::chrono::floor<std::chrono::days>(receivedAt);
    Seconds slot = midnight + std::chrono::seconds(timeMs / 1000U);
    if (slot > receivedAt + SlotTimeAhead) {
        slot -= std::chrono::days(1);
    } else if (slot + std::chrono::days(1) <= receivedAt + SlotTimeAhead) {
        // The first slot of a day received just before midnight by a clock a little slow:
        // tomorrow's, not one a day old.
        slot += std::chrono::days(1);
    }
    return slot;
}

const Client *DecodeReader::LatestClient() const {
    const Client *latest = nullptr;
    for (const auto &[id, client] : Clients) {
        if (latest == nullptr || client.LastHeard > latest->LastHeard) {
            latest = &client;
        }
    }
    return latest;
}

Client &DecodeReader::ClientOf(const std::string &id, Seconds receivedAt) {
    auto found = Clients.find(id);
    if (found == Clients.end()) {
        if (Clients.size() >= MaxClients) {
            const auto oldest =
                std::min_element(Clients.begin(), Clients.end(), [](const auto &a, const auto &b) {
                    return a.second.LastHeard < b.second.LastHeard;
                });
            Clients.erase(oldest);
        }
        found = Clients.emplace(id, Client{}).first;
        found->second.Id = id;
    }
    found->second.LastHeard = receivedAt;
    found->second.Closed = false;
    return found->second;
}

bool DecodeReader::MinuteBudget::Take(Seconds now, int perMinute) {
    // A clock stepping back starts a new minute too.
    if (now < Start || now - Start >= std::chrono::minutes(1)) {
        Start = now;
        Used = 0;
    }
    if (Used >= perMinute) {
        return false;
    }
    ++Used;
    return true;
}

// Whether a heartbeat, status or close tells something new of its WSJT-X; read before the client
// takes it in.
bool DecodeReader::NewsChanges(const Datagram &datagram) const {
    const auto found = Clients.find(datagram.Id);
    if (found == Clients.end()) {
        return true;
    }
    const Client &known = found->second;
    switch (static_cast<MessageType>(datagram.Type)) {
    case MessageType::Heartbeat:
        return known.Version != datagram.Beat.Version || known.Closed;
    case MessageType::Status:
        return !known.Latest || known.Latest->DialFreqHz != datagram.State.DialFreqHz ||
               known.Latest->Mode != datagram.State.Mode ||
               known.Latest->DeGrid != datagram.State.DeGrid || known.Closed;
    case MessageType::Close:
        return !known.Closed;
    case MessageType::Decode:
    case MessageType::Clear:
        break;
    }
    return false;
}

DecodeReading DecodeReader::Read(const Datagram &datagram, Seconds receivedAt) {
    DecodeReading reading;
    reading.Time = receivedAt;
    if (datagram.Problem == DatagramProblem::OtherType) {
        // Types not read here tell the tracker nothing.
        reading.Record = false;
        return reading;
    }
    if (datagram.Problem != DatagramProblem::None) {
        reading.Problem = DecodeProblem::Unreadable;
        reading.Unread = datagram.Problem;
        reading.Record = UnreadableBudget.Take(receivedAt, UnreadableRecordsPerMinute);
        if (reading.Record) {
            reading.Unrecorded = std::exchange(UnreadableUnrecorded, 0);
        } else {
            ++UnreadableUnrecorded;
        }
        return reading;
    }
    if (static_cast<MessageType>(datagram.Type) != MessageType::Decode) {
        reading.Record = NewsChanges(datagram) && NewsBudget.Take(receivedAt, NewsRecordsPerMinute);
    }
    Client &client = ClientOf(datagram.Id, receivedAt);
    switch (static_cast<MessageType>(datagram.Type)) {
    case MessageType::Heartbeat:
        client.Version = datagram.Beat.Version;
        break;
    case MessageType::Status:
        client.Latest = datagram.State;
        break;
    case MessageType::Close:
        client.Closed = true;
        break;
    case MessageType::Decode:
        client.LastDecode = receivedAt;
        return ReadDecode(client, datagram.Heard, receivedAt);
    case MessageType::Clear:
        break;
    }
    return reading;
}

bool DecodeReader::CountedRecently(const std::string &key, Seconds time) const {
    const auto found = Recent.find(key);
    if (found == Recent.end()) {
        return false;
    }
    const auto apart = time > found->second ? time - found->second : found->second - time;
    return apart < RepeatWindow;
}

void DecodeReader::Remember(const std::string &key, Seconds time) {
    Recent[key] = time;
    RecentOrder.emplace_back(key, time);
    // Entries are dropped from the front once outside the window or past the bound; an entry
    // counted again since stays in the map under its newer time.
    while (!RecentOrder.empty() && (RecentOrder.size() > MaxRecentCalls ||
                                    RecentOrder.front().second + RepeatWindow < time)) {
        const auto &[oldKey, oldTime] = RecentOrder.front();
        const auto found = Recent.find(oldKey);
        if (found != Recent.end() && found->second == oldTime) {
            Recent.erase(found);
        }
        RecentOrder.pop_front();
    }
}

DecodeReading DecodeReader::ReadDecode(const Client &client, const Decode &heard,
                                       Seconds receivedAt) {
    DecodeReading reading;
    reading.Time = receivedAt;
    spot::Spot &spot = reading.Read;
    spot.Mode = ModeOfCharacter(heard.Mode);
    if (spot.Mode.empty() && client.Latest) {
        spot.Mode = client.Latest->Mode;
    }
    const auto sent = GridOfMessage(heard.Message);
    if (sent) {
        spot.DxCall = sent->Call;
        spot.FromLoc = sent->Grid;
    }
    if (client.Latest) {
        spot.Spotter = client.Latest->DeCall;
        spot.ToLoc = OwnLocator(client.Latest->DeGrid);
    }
    if (spot.ToLoc.empty()) {
        spot.ToLoc = OwnLocator(Settings.HomeLocator);
    }
    const std::uint64_t dialHz = client.Latest ? client.Latest->DialFreqHz : 0;
    // Both bounded before they are added: the sum cannot wrap.
    const bool heardFreq =
        dialHz > 0 && dialHz <= MaxDialHz && heard.DeltaFreqHz <= MaxAudioOffsetHz;
    if (heardFreq) {
        spot.FreqMHzText = MHzText(dialHz + heard.DeltaFreqHz);
        spot.FreqMHz = calc::LeadingNumber(spot.FreqMHzText);
    }

    if (!heard.New) {
        reading.Problem = DecodeProblem::SentAgain;
    } else if (heard.OffAir && !Settings.Recordings) {
        reading.Problem = DecodeProblem::OffAir;
    } else if (heard.LowConfidence) {
        reading.Problem = DecodeProblem::LowConfidence;
    } else if (spot.Mode == MeteorScatterMode) {
        reading.Problem = DecodeProblem::MeteorScatter;
    } else if (spot.Mode.starts_with(Q65Mode)) {
        reading.Problem = DecodeProblem::Q65;
    } else if (!sent) {
        reading.Problem = DecodeProblem::NoGrid;
    } else if (dialHz == 0) {
        reading.Problem = DecodeProblem::NoDial;
    } else if (!heardFreq || !spot::BandOf(spot.FreqMHz)) {
        reading.Problem = DecodeProblem::OffBand;
    } else if (spot.ToLoc.empty()) {
        reading.Problem = DecodeProblem::NoOwnLocator;
    } else if (spot.ToLoc.substr(0, 4) == spot.FromLoc) {
        reading.Problem = DecodeProblem::OwnSquare;
    } else {
        reading.Problem = DecodeProblem::None;
    }
    if (reading.Problem != DecodeProblem::None) {
        return reading;
    }
    // A recording's slot time says when it was recorded, not when the sky carried it.
    reading.Time = heard.OffAir ? receivedAt : SlotTime(heard.TimeMs, receivedAt);
    const std::uint32_t periodS =
        client.Latest ? std::min(client.Latest->TrPeriodS, MaxSlotPeriodS) : 0;
    if (reading.Time + std::chrono::seconds(periodS) + SlotTimeBehind < receivedAt ||
        receivedAt - reading.Time >= OldestSlot) {
        reading.Problem = DecodeProblem::TimeBehind;
        return reading;
    }
    const auto band = spot::BandOf(spot.FreqMHz);
    const std::string key =
        spot.DxCall + ' ' + (band ? std::string(spot::BandName(*band)) : spot.FreqMHzText);
    if (CountedRecently(key, reading.Time)) {
        reading.Problem = DecodeProblem::Repeated;
        return reading;
    }
    Remember(key, reading.Time);
    return reading;
}

std::string SightWords(const Client *client, Seconds listeningSince, Seconds now) {
    const Seconds heard = client != nullptr ? client->LastHeard : listeningSince;
    if (client == nullptr || now - heard >= SilentAfter) {
        const auto silent = std::max<std::chrono::seconds::rep>(0, (now - heard).count());
        return "No WSJT-X heard for " + std::to_string(silent) + " s";
    }
    if (client->Closed) {
        return "WSJT-X closed";
    }
    std::string words = "WSJT-X";
    if (!client->Version.empty()) {
        words += ' ' + client->Version;
    }
    if (client->Latest) {
        if (client->Latest->DialFreqHz > 0) {
            words += " on " + MHzText(client->Latest->DialFreqHz) + " MHz";
        }
        if (!client->Latest->Mode.empty()) {
            words += ' ' + client->Latest->Mode;
        }
    }
    if (client->LastDecode) {
        const auto ago =
            std::max<std::chrono::seconds::rep>(0, (now - *client->LastDecode).count());
        words += ", last decode " + std::to_string(ago) + " s ago";
    } else {
        words += ", no decode yet";
    }
    return words;
}

} // namespace ionvane::wsjtx
