// Brokers for the feed tests, all on 127.0.0.1: Debian's mosquitto started as a process of our
// own with a config of our own, a publisher through libmosquitto, and a scripted fake broker that
// answers the first MQTT packets as a test needs.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

struct mosquitto;

namespace ionvane::feed::test {

/// Runs the event loop until `done` holds or `limitMs` has passed; returns `done()`.
bool WaitUntil(const std::function<bool()> &done, int limitMs = 10000);

/// Runs the event loop for `ms`: for checking that something does not happen.
void RunFor(int ms);

/// A free TCP port on 127.0.0.1 (bound once and released).
quint16 FreePort();

/// mosquitto on 127.0.0.1, anonymous, no persistence.
class LocalBroker {
  public:
    LocalBroker();
    ~LocalBroker();
    LocalBroker(const LocalBroker &) = delete;
    LocalBroker &operator=(const LocalBroker &) = delete;

    /// Starts the broker on `port` (0: a free one) and waits until it takes connections.
    bool Start(quint16 port = 0);
    /// Stops it (SIGTERM, then SIGKILL) and waits for the process to end.
    void Stop();
    [[nodiscard]] quint16 Port() const { return ListenPort; }
    [[nodiscard]] std::string Output() const { return Log; }

  private:
    QTemporaryDir Dir;
    QProcess Process;
    quint16 ListenPort = 0;
    std::string Log;
};

/// Publishes to a broker on 127.0.0.1 through libmosquitto, each message at QoS 1 and waited for,
/// so that the broker has it before Publish returns.
class Publisher {
  public:
    explicit Publisher(quint16 port);
    ~Publisher();
    Publisher(const Publisher &) = delete;
    Publisher &operator=(const Publisher &) = delete;

    [[nodiscard]] bool Connected() const { return Ready; }
    bool Publish(const std::string &topic, const std::string &payload);

  private:
    mosquitto *Client = nullptr;
    bool Ready = false;
    int LastPublished = -1;
};

/// A broker that only plays the first packets of MQTT 3.1.1: it answers CONNECT with CONNACK
/// (unless silent) and SUBSCRIBE with a SUBACK that grants or refuses every topic (unless it
/// ignores it), and records everything the client sends.
class FakeBroker {
  public:
    /// GrantThenDrop confirms the topics and closes the connection at once.
    enum class Script { Silent, ConnackOnly, RefuseTopics, GrantTopics, GrantThenDrop };

    explicit FakeBroker(Script script);
    [[nodiscard]] quint16 Port() const { return Server.serverPort(); }
    [[nodiscard]] const QByteArray &Received() const { return Bytes; }
    [[nodiscard]] int Connections() const { return Accepted; }

  private:
    QByteArray Answer();

    Script Plays;
    QTcpServer Server;
    QByteArray Bytes;
    QByteArray Pending;
    int Accepted = 0;
    bool Granted = false;
};

} // namespace ionvane::feed::test
