#include "connection_words.h"

namespace ionvane::livewindow {

namespace {
constexpr std::int64_t MsPerSecond = 1000;
constexpr std::int64_t SecondsPerMinute = 60;

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}
} // namespace

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

QString ClusterStateWords(const cluster::ConnectionEvent &event, const QString &host) {
    using Kind = cluster::ConnectionEvent::Kind;
    switch (event.What) {
    case Kind::Connecting:
        return "Connecting to " + host + " ...";
    case Kind::LoggedIn:
        return "Logged in to " + host;
    case Kind::Lost:
        return event.Detail.empty() ? QString("Lost") : "Lost: " + Q(event.Detail);
    case Kind::Waiting:
        return "Lost, retrying in " + WaitWords(event.RetryIn);
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

QString FeedStateWords(const feed::FeedEvent &event) {
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
        return "Receiving reports";
    case FeedConnection::Lost:
        return event.Detail.empty() ? QString("Lost") : "Lost: " + Q(event.Detail);
    case FeedConnection::Waiting:
        return "Lost, retrying in " + WaitWords(event.RetryIn);
    case FeedConnection::Refused:
        return "Refused: " + Q(event.Detail);
    case FeedConnection::Stopped:
        return DisconnectedWords;
    }
    return {};
}

} // namespace ionvane::livewindow
