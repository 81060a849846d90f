#include "feed_source.h"
#include "mosquitto_loop.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QSocketNotifier>

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace ionvane::feed {

namespace {

// The feed publishes at QoS 0; asking for more would only add acknowledgements.
constexpr int FeedQos = 0;

// libmosquitto refuses keep-alives shorter than 5 s (other than none).
constexpr int MinKeepAliveSeconds = 5;

// TCP ports are 16-bit.
constexpr int MaxPort = 65535;

// A SUBACK's code for a refused topic (MQTT 3.1.1, 3.9.3).
constexpr int SubscriptionRefused = 0x80;

std::string WholeSeconds(std::chrono::milliseconds wait) {
    return std::to_string(std::chrono::ceil<std::chrono::seconds>(wait).count()) + " s";
}

} // namespace

double SystemRandom() {
    return QRandomGenerator::global()->generateDouble();
}

FeedSource::FeedSource(FeedSettings settings, FeedEnvironment environment, FeedTimings timings,
                       QObject *parent)
    : QObject(parent), Settings(std::move(settings)), Environment(std::move(environment)),
      Timings(timings), Retries(Timings.Retry) {
    mosquitto_lib_init();
    for (QTimer *timer : {&ConnectTimer, &SubscribeTimer, &RetryTimer}) {
        timer->setSingleShot(true);
    }
    ConnectTimer.setInterval(Timings.ConnectTimeout);
    SubscribeTimer.setInterval(Timings.SubscribeTimeout);
    HousekeepingTimer.setInterval(Timings.Housekeeping);
    connect(&ConnectTimer, &QTimer::timeout, this, [this] {
        Fail("No answer from the broker within " + WholeSeconds(Timings.ConnectTimeout));
    });
    connect(&SubscribeTimer, &QTimer::timeout, this, [this] {
        Fail("The broker did not confirm the subscription within " +
             WholeSeconds(Timings.SubscribeTimeout));
    });
    connect(&RetryTimer, &QTimer::timeout, this, &FeedSource::Attempt);
    connect(&HousekeepingTimer, &QTimer::timeout, this, &FeedSource::Housekeep);
}

FeedSource::~FeedSource() {
    TearDown(true);
    mosquitto_lib_cleanup();
}

std::vector<std::string> FeedSource::Topics() const {
    std::vector<std::string> topics;
    for (const spot::Band band : Settings.Bands) {
        std::string topic = BandTopic(band);
        if (std::find(topics.begin(), topics.end(), topic) == topics.end()) {
            topics.push_back(std::move(topic));
        }
    }
    return topics;
}

void FeedSource::Start() {
    if (Current != FeedState::Stopped && Current != FeedState::Refused) {
        return;
    }
    Retries.Restart();
    if (Topics().empty() || Settings.Port < 1 || Settings.Port > MaxPort) {
        // Nothing to ask the broker for, or nowhere to ask: no attempt could succeed.
        Current = FeedState::Refused;
        Say(FeedConnection::Refused, Topics().empty() ? "No band to follow" : "No such port");
        return;
    }
    Attempt();
}

void FeedSource::Stop() {
    if (Current == FeedState::Stopped) {
        return;
    }
    TearDown(true);
    RetryTimer.stop();
    Current = FeedState::Stopped;
    Say(FeedConnection::Stopped, "");
}

bool FeedSource::InSession() const {
    return Current == FeedState::Connecting || Current == FeedState::Subscribing ||
           Current == FeedState::Live;
}

std::int64_t FeedSource::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               Environment.Now().time_since_epoch())
        .count();
}

Seconds FeedSource::ReceiptTime() const {
    return std::chrono::floor<std::chrono::seconds>(Environment.Now());
}

void FeedSource::Say(FeedConnection connection, std::string detail,
                     std::chrono::milliseconds retryIn) {
    FeedEvent event;
    event.What = FeedEvent::Kind::Connection;
    event.Time = ReceiptTime();
    event.ReceivedAt = event.Time;
    event.Connection = connection;
    event.Detail = std::move(detail);
    event.RetryIn = retryIn;
    emit Event(event);
}

void FeedSource::Attempt() {
    TearDown(false);
    Retries.Tried(NowMs());
    ++AttemptCount;
    Current = FeedState::Connecting;
    ConnectTimer.start();
    const unsigned generation = Generation;
    Say(FeedConnection::Connecting, Settings.Host + ":" + std::to_string(Settings.Port));
    if (Generation != generation || Current != FeedState::Connecting) {
        return; // stopped from a slot of the event
    }
    LookupId =
        QHostInfo::lookupHost(QString::fromStdString(Settings.Host), this, &FeedSource::LookedUp);
}

void FeedSource::LookedUp(const QHostInfo &info) {
    if (info.lookupId() != LookupId || Current != FeedState::Connecting) {
        return;
    }
    LookupId = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        Fail("Cannot find the broker " + Settings.Host + ": " + info.errorString().toStdString());
        return;
    }
    // IPv4 first (a machine without an IPv6 route fails slowly on IPv6 addresses), and each
    // attempt on the next address, so that one unreachable address cannot block the rest.
    QList<QHostAddress> addresses = info.addresses();
    std::stable_partition(addresses.begin(), addresses.end(), [](const QHostAddress &a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol;
    });
    const auto pick =
        static_cast<qsizetype>((AttemptCount - 1) % static_cast<unsigned>(addresses.size()));
    const std::string address = addresses[pick].toString().toStdString();
    Client = mosquitto_new(nullptr, true, this);
    if (Client == nullptr) {
        Fail("Cannot start an MQTT session");
        return;
    }
    mosquitto_int_option(Client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(Client, &FeedSource::OnConnect);
    mosquitto_subscribe_callback_set(Client, &FeedSource::OnSubscribe);
    mosquitto_message_callback_set(Client, &FeedSource::OnMessage);
    mosquitto_disconnect_callback_set(Client, &FeedSource::OnDisconnect);
    // Returns at once: the TCP connection completes in the background and the CONNECT waits in
    // libmosquitto's queue until the socket can be written.
    const int code =
        mosquitto_connect_async(Client, address.c_str(), Settings.Port,
                                std::max(Timings.KeepAliveSeconds, MinKeepAliveSeconds));
    const int savedErrno = errno;
    const int socket = mosquitto_socket(Client);
    if (code != MOSQ_ERR_SUCCESS || socket < 0) {
        Fail("Cannot connect to " + Settings.Host + ": " + LibraryText(code, savedErrno));
        return;
    }
    ReadNotifier = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    WriteNotifier = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    connect(ReadNotifier, &QSocketNotifier::activated, this, &FeedSource::ReadReady);
    connect(WriteNotifier, &QSocketNotifier::activated, this, &FeedSource::WriteReady);
    HousekeepingTimer.start();
    WatchWrites();
}

void FeedSource::Connected(int code) {
    if (Current != FeedState::Connecting) {
        return;
    }
    if (code != 0) {
        Fail(std::string("The broker refused the connection: ") + mosquitto_connack_string(code));
        return;
    }
    ConnectTimer.stop();
    const std::vector<std::string> topics = Topics();
    std::vector<char *> filters;
    std::string list;
    for (const std::string &topic : topics) {
        filters.push_back(const_cast<char *>(topic.c_str()));
        list += (list.empty() ? "" : " ") + topic;
    }
    Current = FeedState::Subscribing;
    SubscribeTimer.start();
    const int result =
        mosquitto_subscribe_multiple(Client, &SubscribeId, static_cast<int>(filters.size()),
                                     filters.data(), FeedQos, 0, nullptr);
    const int savedErrno = errno;
    if (result != MOSQ_ERR_SUCCESS) {
        Fail("Cannot subscribe: " + LibraryText(result, savedErrno));
        return;
    }
    WatchWrites();
    Say(FeedConnection::Subscribing, list);
}

void FeedSource::Subscribed(const SubackNote &note) {
    if (Current != FeedState::Subscribing || note.MessageId != SubscribeId) {
        return;
    }
    const std::vector<std::string> topics = Topics();
    std::string taken;
    std::string refused;
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const bool ok = i < note.Granted.size() && note.Granted[i] != SubscriptionRefused;
        std::string &list = ok ? taken : refused;
        list += (list.empty() ? "" : " ") + topics[i];
    }
    SubscribeTimer.stop();
    if (taken.empty()) {
        // The same request would be refused again: retrying only burdens the broker.
        TearDown(true);
        Current = FeedState::Refused;
        Say(FeedConnection::Refused, "The broker refused the topics " + refused);
        return;
    }
    Current = FeedState::Live;
    Retries.Up(NowMs());
    Say(FeedConnection::Subscribed,
        refused.empty() ? taken : taken + " (refused: " + refused + ")");
}

void FeedSource::Received(const MessageNote &note) {
    if (Current != FeedState::Live && Current != FeedState::Subscribing) {
        return;
    }
    emit Event(ReportEvent(Reader, ReceiptTime(), note.Topic, note.Payload, Settings.Bands));
}

void FeedSource::Fail(const std::string &reason) {
    if (!InSession()) {
        return;
    }
    TearDown(false);
    Current = FeedState::Waiting;
    const unsigned generation = Generation;
    Say(FeedConnection::Lost, reason);
    if (Generation == generation && Current == FeedState::Waiting) {
        WaitAndRetry();
    }
}

void FeedSource::WaitAndRetry() {
    const double random = Environment.Random ? Environment.Random() : 0.5;
    const auto wait = Retries.Failed(NowMs(), random);
    RetryTimer.start(wait);
    Say(FeedConnection::Waiting, "Next attempt in " + WholeSeconds(wait), wait);
}

void FeedSource::TearDown(bool goodbye) {
    ++Generation;
    Notes.clear();
    PacketStart = 0;
    ConnectTimer.stop();
    SubscribeTimer.stop();
    HousekeepingTimer.stop();
    if (LookupId >= 0) {
        QHostInfo::abortHostLookup(LookupId);
        LookupId = -1;
    }
    for (QSocketNotifier **notifier : {&ReadNotifier, &WriteNotifier}) {
        if (*notifier != nullptr) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (Client != nullptr) {
        if (goodbye && (Current == FeedState::Subscribing || Current == FeedState::Live)) {
            // Queued and, the socket being writable, sent at once; a full socket loses it, and
            // the broker sees the connection close instead.
            mosquitto_disconnect(Client);
            mosquitto_loop_write(Client, 1);
        }
        mosquitto_destroy(Client);
        Client = nullptr;
    }
}

} // namespace ionvane::feed
