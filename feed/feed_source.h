// The live PSK Reporter feed: one MQTT session to a broker, subscribed to one narrow topic per
// band, every report read into a spot as it arrives. Runs in the Qt event loop of its thread:
// libmosquitto's socket is watched with QSocketNotifier and its callbacks only take notes that
// the source acts on once libmosquitto has returned, so no thread and no lock is involved.
#pragma once

#include "feed_bands.h"
#include "feed_event.h"
#include "report_reader.h"

#include "retry/retry_policy.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class QHostInfo;
class QSocketNotifier;
struct mosquitto;
struct mosquitto_message;

namespace ionvane::feed {

/// The feed's public broker and its plain MQTT port.
constexpr std::string_view PublicBroker = "mqtt.pskreporter.info";
constexpr int MqttPort = 1883;

/// Longest MQTT packet taken from the broker, bytes: a report's packet is its topic (under 200
/// bytes) and payload (about 250 bytes; one past MaxPayloadBytes is still read, to be skipped as
/// too long). A longer packet ends the session (two retained messages of 256 MB once took 540 MB):
/// while it is read when it comes in several reads, as over a network, else once read, so that
/// the next is not taken. The broker's pings, 2 bytes a keep-alive without a message between,
/// count towards the packet after them.
constexpr std::uint64_t MaxPacketBytes = 64 * 1024;

/// Where and what to follow.
struct FeedSettings {
    std::string Host{PublicBroker};
    int Port = MqttPort;
    std::vector<spot::Band> Bands = DefaultBands(); ///< each once; the order of the subscriptions
};

/// The waits of a session. Tests shorten them; the program keeps the defaults.
struct FeedTimings {
    /// From the start of an attempt (name lookup, TCP, MQTT CONNECT) to the broker's answer.
    std::chrono::milliseconds ConnectTimeout{15000};
    /// From the subscription request to the broker's confirmation.
    std::chrono::milliseconds SubscribeTimeout{15000};
    /// The back-off after a loss; a session counts as up once its topics are confirmed.
    retry::RetryTimings Retry;
    /// MQTT keep-alive: the broker closes a session silent for 1.5 times this, and the client
    /// pings after this long without traffic and gives up when the answer has not come after as
    /// long again. 60 s is the usual value of MQTT clients; 5 s is the least libmosquitto takes.
    int KeepAliveSeconds = 60;
    /// libmosquitto's housekeeping (pings, keep-alive check) wants a call about once a second.
    std::chrono::milliseconds Housekeeping{1000};
};

/// A number uniform in [0, 1) from Qt's system-seeded generator.
double SystemRandom();

/// The outside world of a source, passed in so tests can stand in for it.
struct FeedEnvironment {
    /// The wall clock for receipt times and for counting attempts in the attempt window.
    std::function<std::chrono::system_clock::time_point()> Now = [] {
        return std::chrono::system_clock::now();
    };
    /// A number uniform in [0, 1) for the randomised retry waits.
    std::function<double()> Random = SystemRandom;
};

/// Where a source stands.
enum class FeedState {
    Stopped,     ///< not started, or stopped
    Connecting,  ///< an attempt is under way
    Subscribing, ///< connected, topics asked for
    Live,        ///< topics confirmed, reports flowing
    Waiting,     ///< waiting to try again
    Refused,     ///< ended: the broker refused every topic
};

/// One MQTT session to the feed. Start() connects, Stop() ends it cleanly; every change and every
/// report comes out as an Event. Do not delete the source from a slot of its own Event (use
/// deleteLater); Stop() may be called from one.
class FeedSource : public QObject {
    Q_OBJECT

  public:
    FeedSource(FeedSettings settings, FeedEnvironment environment, FeedTimings timings = {},
               QObject *parent = nullptr);
    ~FeedSource() override;
    FeedSource(const FeedSource &) = delete;
    FeedSource &operator=(const FeedSource &) = delete;

    /// Starts the first attempt now (from Stopped or Refused; otherwise nothing happens). Without
    /// a band or with a port outside 1..65535 the source is Refused at once.
    void Start();
    /// Ends the session: a DISCONNECT to the broker when connected, every timer stopped, and a
    /// Stopped event. Nothing happens when already stopped.
    void Stop();

    [[nodiscard]] FeedState State() const { return Current; }
    /// The topic filters this source subscribes to.
    [[nodiscard]] std::vector<std::string> Topics() const;

  signals:
    void Event(const ionvane::feed::FeedEvent &event);

  private:
    // Notes taken by libmosquitto's callbacks, acted on once it has returned.
    struct ConnackNote {
        int Code;
    };
    struct SubackNote {
        int MessageId;
        std::vector<int> Granted;
    };
    struct MessageNote {
        std::string Topic;
        std::string Payload;
    };
    struct DisconnectNote {
        int Code;
    };
    using Note = std::variant<ConnackNote, SubackNote, MessageNote, DisconnectNote>;

    static void OnConnect(mosquitto *client, void *self, int code);
    static void OnSubscribe(mosquitto *client, void *self, int messageId, int count,
                            const int *granted);
    static void OnMessage(mosquitto *client, void *self, const mosquitto_message *message);
    static void OnDisconnect(mosquitto *client, void *self, int code);

    void Attempt();
    void LookedUp(const QHostInfo &info);
    void Connected(int code);
    void Subscribed(const SubackNote &note);
    void Received(const MessageNote &note);
    void Fail(const std::string &reason);
    void WaitAndRetry();
    void TearDown(bool goodbye);

    void ReadReady();
    void WriteReady();
    void Housekeep();
    void AfterLibraryCall(int code, int savedErrno);
    void ActOnNotes();
    void WatchWrites();

    void Say(FeedConnection connection, std::string detail, std::chrono::milliseconds retryIn = {});
    [[nodiscard]] Seconds ReceiptTime() const;
    [[nodiscard]] std::int64_t NowMs() const;
    [[nodiscard]] bool InSession() const;

    FeedSettings Settings;
    FeedEnvironment Environment;
    FeedTimings Timings;
    FeedState Current = FeedState::Stopped;

    mosquitto *Client = nullptr;
    QSocketNotifier *ReadNotifier = nullptr;
    QSocketNotifier *WriteNotifier = nullptr;
    int LookupId = -1;
    int SubscribeId = 0;
    std::vector<Note> Notes;
    /// Bytes of the connection taken off the socket up to the end of the last packet the
    /// library told of (a CONNACK, SUBACK or message): where the packet being read starts.
    std::uint64_t PacketStart = 0;
    bool PacketTold = false;
    /// Counts sessions: notes and lookups of an earlier one are dropped.
    unsigned Generation = 0;

    QTimer ConnectTimer;
    QTimer SubscribeTimer;
    QTimer RetryTimer;
    QTimer HousekeepingTimer;

    retry::RetryPolicy Retries;
    unsigned AttemptCount = 0; ///< picks the broker's address in turn

    ReportReader Reader;
};

} // namespace ionvane::feed

Q_DECLARE_METATYPE(ionvane::feed::FeedEvent)
