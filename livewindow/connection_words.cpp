#include "connection_words.h"

namespace ionvane::livewindow {

namespace {
constexpr std::int64_t MsPerSecond = 1000;
constexpr std::int64_t SecondsPerMinute = 60;

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}

QString TroubleWords(Trouble trouble) {
    switch (trouble) {
    case Trouble::Refused:
        return "Refused";
    case Trouble::NotFound:
        return "Host not found";
    case Trouble::TimedOut:
        return "No answer";
    case Trouble::Lost:
        return "Lost";
    case Trouble::CannotConnect:
        return "Cannot connect";
    }
    return {};
}

// "Refused: Connection refused" says it twice: a named trouble stands alone, the others keep the
// detail.
QString FailureWords(const std::string &detail, bool everUp) {
    const Trouble trouble = TroubleOf(detail, everUp);
    const bool named = trouble != Trouble::Lost && trouble != Trouble::CannotConnect;
    return named || detail.empty() ? TroubleWords(trouble)
                                   : TroubleWords(trouble) + ": " + Q(detail);
}

QString RetryWords(const ConnectionMemory *memory, std::chrono::milliseconds wait) {
    const Trouble trouble =
        memory != nullptr ? TroubleOf(memory->LastTrouble, memory->EverUp) : Trouble::Lost;
    return TroubleWords(trouble) + ", retrying in " + WaitWords(wait);
}

void Remember(ConnectionMemory *memory, bool up, const std::string *trouble) {
    if (memory == nullptr) {
        return;
    }
    memory->EverUp = memory->EverUp || up;
    if (trouble != nullptr) {
        memory->LastTrouble = *trouble;
    }
}
} // namespace

Trouble TroubleOf(const std::string &detail, bool everUp) {
    const QString text = Q(detail).toLower();
    // The texts of QAbstractSocket ("Connection refused", "Host not found", "Socket operation
    // timed out") and of the feed source ("Cannot find the broker ...", "No answer from the
    // broker within 10 s"); a connection that was up and then failed was lost, whatever the
    // socket says.
    if (everUp) {
        return Trouble::Lost;
    }
    if (text.contains("refused")) {
        return Trouble::Refused;
    }
    if (text.contains("not found") || text.contains("cannot find")) {
        return Trouble::NotFound;
    }
    if (text.contains("timed out") || text.contains("no answer")) {
        return Trouble::TimedOut;
    }
    return detail.empty() ? Trouble::Lost : Trouble::CannotConnect;
}

QString WaitWords(std::chrono::milliseconds wait) {
    const std::int64_t ms = std::max<std::int64_t>(0, wait.count());
    const std::int64_t seconds = (ms + MsPerSecond - 1) / MsPerSecond;
    if (seconds < SecondsPerMinute) {
        return QString("%1 s").arg(seconds);
    }
    const std::int64_t minutes = seconds / SecondsPerMinute;
    const std::int64_t rest = seconds % SecondsPerMinute;
    return rest == 0 ? QString("%1 min").arg(minutes)
                     : QString("%1 min %2 s").arg(minutes).arg(rest);
}

QString ClusterStateWords(const cluster::ConnectionEvent &event, const QString &host,
                          ConnectionMemory *memory) {
    using Kind = cluster::ConnectionEvent::Kind;
    switch (event.What) {
    case Kind::Connecting:
        return "Connecting to " + host + " ...";
    case Kind::LoggedIn:
        Remember(memory, true, nullptr);
        return "Logged in to " + host;
    case Kind::Lost:
        Remember(memory, false, &event.Detail);
        return FailureWords(event.Detail, memory == nullptr || memory->EverUp);
    case Kind::Waiting:
        return RetryWords(memory, event.RetryIn);
    case Kind::Refused:
        switch (event.Why) {
        case cluster::Refusal::BadPassword:
            return "Refused: wrong password, the node says \"" + Q(event.Detail) + "\"";
        case cluster::Refusal::InvalidCall:
            return "Refused: invalid call, the node says \"" + Q(event.Detail) + "\"";
        case cluster::Refusal::Bumped:
            return "Refused: logged in elsewhere, the node says \"" + Q(event.Detail) + "\"";
        case cluster::Refusal::AnotherPort:
            return "Refused: logged in on another port, the node says \"" + Q(event.Detail) + "\"";
        case cluster::Refusal::NodeCall:
        case cluster::Refusal::LockedOut:
            return "Refused: " + Q(event.Detail);
        case cluster::Refusal::None:
            break;
        }
        return "Refused: the node says \"" + Q(event.Detail) + "\"";
    }
    return {};
}

QString FeedStateWords(const feed::FeedEvent &event, ConnectionMemory *memory) {
    if (event.What != feed::FeedEvent::Kind::Connection) {
        return {};
    }
    using feed::FeedConnection;
    switch (event.Connection) {
    case FeedConnection::Connecting:
        return "Connecting to " + Q(event.Detail) + " ...";
    case FeedConnection::Subscribing:
        return "Connected, asking for the bands ...";
    case FeedConnection::Subscribed:
        Remember(memory, true, nullptr);
        return "Receiving reports";
    case FeedConnection::Lost:
        Remember(memory, false, &event.Detail);
        return FailureWords(event.Detail, memory == nullptr || memory->EverUp);
    case FeedConnection::Waiting:
        return RetryWords(memory, event.RetryIn);
    case FeedConnection::Refused:
        return "Refused: " + Q(event.Detail);
    case FeedConnection::Stopped:
        return DisconnectedWords;
    }
    return {};
}

} // namespace ionvane::livewindow
