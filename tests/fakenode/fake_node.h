// A fake DX-cluster node for tests and manual runs: a QTcpServer on 127.0.0.1 that greets as the
// common node types do, asks for a password when told to, replays lines, writes in random pieces,
// offers telnet options, goes silent, drops, refuses and bumps, and records what the client sends
// and when.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace ionvane::testing {

/// How the node asks for the call.
enum class Greeting {
    Login,           ///< "login: " with no line end, as the most common node software
    PleaseEnterCall, ///< a banner line, then "Please enter your call: "
    CallColon,       ///< "call: "
};

/// How the node answers a call it does not ban.
enum class CallAnswer {
    Welcome,
    OtherPort, ///< "Sorry CALL you are connected to me on another port", then the close
    NodeCall,  ///< "0" and node protocol lines, as to a call the node knows as a node
    LockedOut, ///< the close at once, without a word
};

struct FakeNodeScript {
    Greeting Greet = Greeting::Login;
    QByteArray Password;        ///< asked for after the call when not empty
    QList<QByteArray> Banned;   ///< calls answered with "Sorry CALL is an invalid callsign"
    bool TelnetOptions = false; ///< offer and ask for options, and send a subnegotiation, first
    bool SplitWrites = false;   ///< write everything in random pieces of 1 to 7 bytes
    quint32 Seed = 1;           ///< of the random pieces
    bool Silent = false;        ///< after the welcome, send nothing, not even prompts
    bool PromptLineEnd = true;  ///< end the command prompt with CR LF (false: bare "... >")
    CallAnswer Answer = CallAnswer::Welcome;
    QList<QByteArray> Listing; ///< the answer to "sh/dx ..." (the last spots, newest first)
};

class FakeNode : public QObject {
  public:
    explicit FakeNode(FakeNodeScript script = {}, QObject *parent = nullptr);
    ~FakeNode() override;
    FakeNode(const FakeNode &) = delete;
    FakeNode &operator=(const FakeNode &) = delete;

    /// Listens on 127.0.0.1, on `port` or an ephemeral one; false when the port is taken.
    bool Listen(quint16 port = 0);
    [[nodiscard]] quint16 Port() const { return Server.serverPort(); }
    /// Stops listening: new connects are refused. The client connected stays.
    void StopListening() { Server.close(); }

    FakeNodeScript Script;

    // What the node does to the client connected now (nothing when there is none).
    void Send(const QByteArray &bytes);
    void SendLines(const QList<QByteArray> &lines);
    void Drop();
    /// "Reconnected as CALL at 127.0.0.1, this instance is disconnected", then the close.
    void Bump();

    /// Queues lines for the logged-in client, one every `intervalMs`; the queue waits while no
    /// client is logged in and goes on with the next one.
    void Replay(const QList<QByteArray> &lines, int intervalMs);
    [[nodiscard]] qsizetype ReplayLeft() const { return ReplayQueue.size(); }

    struct Received {
        qint64 AtMs;     ///< since the node was made
        int Connection;  ///< 1 for the first client
        QByteArray Line; ///< without its line end and telnet bytes
    };
    [[nodiscard]] const QList<Received> &ReceivedLines() const { return Lines; }
    /// The telnet bytes the clients sent (their answers to options).
    [[nodiscard]] const QByteArray &TelnetReceived() const { return Telnet; }
    [[nodiscard]] int Connections() const { return static_cast<int>(ConnectTimesMs.size()); }
    [[nodiscard]] const QList<qint64> &ConnectionTimesMs() const { return ConnectTimesMs; }
    [[nodiscard]] bool ClientLoggedIn() const { return Client && Phase == Stage::LoggedIn; }
    [[nodiscard]] bool ClientConnected() const { return Client != nullptr; }
    [[nodiscard]] QByteArray LoggedInCall() const { return Call; }

  private:
    enum class Stage { AwaitCall, AwaitPassword, LoggedIn };
    void Accept();
    void Read();
    void HandleLine(const QByteArray &line);
    void Welcome();
    void Prompt();
    void Write(const QByteArray &bytes);
    void Drain();
    void ReplayNext();

    QTcpServer Server;
    QTcpSocket *Client = nullptr;
    Stage Phase = Stage::AwaitCall;
    QByteArray Call;
    QByteArray Input;
    QByteArray Telnet;
    int TelnetSkip = 0;
    QList<QByteArray> Outgoing;
    QTimer DrainTimer;
    QTimer ReplayTimer;
    QList<QByteArray> ReplayQueue;
    QRandomGenerator Random;
    QElapsedTimer Clock;
    QList<Received> Lines;
    QList<qint64> ConnectTimesMs;
};

} // namespace ionvane::testing
