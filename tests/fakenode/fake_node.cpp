#include "fake_node.h"

#include <QHostAddress>

namespace ionvane::testing {

namespace {

constexpr char Iac = '\xff';
constexpr int TelnetCommandBytes = 3; // IAC, verb, option: all a refusing client sends
constexpr int LongestPiece = 7;
constexpr QByteArrayView NodeName = "FAKE0";

} // namespace

FakeNode::FakeNode(FakeNodeScript script, QObject *parent)
    : QObject(parent), Script(std::move(script)), Random(Script.Seed) {
    Clock.start();
    connect(&Server, &QTcpServer::newConnection, this, [this] { Accept(); });
    DrainTimer.setInterval(1);
    connect(&DrainTimer, &QTimer::timeout, this, [this] { Drain(); });
    connect(&ReplayTimer, &QTimer::timeout, this, [this] { ReplayNext(); });
}

FakeNode::~FakeNode() {
    // The server deletes its sockets after the other members are gone: none may call back.
    for (QTcpSocket *socket : Server.findChildren<QTcpSocket *>()) {
        socket->disconnect(this);
    }
}

bool FakeNode::Listen(quint16 port) {
    return Server.listen(QHostAddress::LocalHost, port);
}

void FakeNode::Accept() {
    while (QTcpSocket *socket = Server.nextPendingConnection()) {
        if (Client) {
            // One client at a time; a second one waits for nothing.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Client = socket;
        Client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Phase = Stage::AwaitCall;
        Input.clear();
        Outgoing.clear();
        TelnetSkip = 0;
        Random.seed(Script.Seed + static_cast<quint32>(ConnectTimesMs.size()));
        ConnectTimesMs.append(Clock.elapsed());
        connect(Client, &QTcpSocket::readyRead, this, [this] { Read(); });
        connect(Client, &QTcpSocket::disconnected, this, [this, socket] {
            if (Client == socket) {
                Client = nullptr;
                Outgoing.clear();
            }
            socket->deleteLater();
        });
        if (Script.TelnetOptions) {
            // DO TERMINAL-TYPE, WILL ECHO, DO NAWS, a stray subnegotiation, GO AHEAD.
            Write(QByteArray("\xff\xfd\x18\xff\xfb\x01\xff\xfd\x1f"
                             "\xff\xfa\x18\x01\xff\xf0\xff\xf9",
                             17));
        }
        switch (Script.Greet) {
        case Greeting::Login:
            Write("login: ");
            break;
        case Greeting::PleaseEnterCall:
            Write("Welcome to the FAKE0 cluster node\r\nPlease enter your call: ");
            break;
        case Greeting::CallColon:
            Write("\r\ncall: ");
            break;
        }
    }
}

void FakeNode::Read() {
    if (!Client) {
        return;
    }
    const QByteArray bytes = Client->readAll();
    for (const char c : bytes) {
        if (TelnetSkip > 0) {
            Telnet += c;
            --TelnetSkip;
        } else if (c == Iac) {
            Telnet += c;
            TelnetSkip = TelnetCommandBytes - 1;
        } else if (c == '\n') {
            QByteArray line = Input;
            Input.clear();
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            HandleLine(line);
            if (!Client) {
                return;
            }
        } else {
            Input += c;
        }
    }
}

void FakeNode::HandleLine(const QByteArray &line) {
    Lines.append({Clock.elapsed(), static_cast<int>(ConnectTimesMs.size()), line});
    switch (Phase) {
    case Stage::AwaitCall:
        Call = line.trimmed().toUpper();
        if (Call.isEmpty()) {
            Write("login: ");
        } else if (Script.Banned.contains(Call)) {
            Write("Sorry " + Call + " is an invalid callsign\r\n");
            Client->disconnectFromHost();
        } else if (Script.Answer == CallAnswer::OtherPort) {
            Write("Sorry " + Call + " you are connected to me on another port\r\n");
            Client->disconnectFromHost();
        } else if (Script.Answer == CallAnswer::NodeCall) {
            Write("0\r\nPC18^DXSpider Version: 1.57 build 0.1^\r\n");
        } else if (Script.Answer == CallAnswer::LockedOut) {
            Client->disconnectFromHost();
        } else if (!Script.Password.isEmpty()) {
            Phase = Stage::AwaitPassword;
            Write("password: ");
        } else {
            Welcome();
        }
        break;
    case Stage::AwaitPassword:
        if (line == Script.Password) {
            Welcome();
        } else {
            Write("Sorry, password incorrect\r\n");
            Client->disconnectFromHost();
        }
        break;
    case Stage::LoggedIn:
        if (line.toLower().startsWith("sh/dx")) {
            SendLines(Script.Listing);
        }
        if (!Script.Silent) {
            Prompt();
        }
        break;
    }
}

void FakeNode::Welcome() {
    Phase = Stage::LoggedIn;
    Write("Hello Ham, this is FAKE0 in Testland running DXSpider V1.57\r\n"
          "Cluster: 1 nodes, 1 local / 1 total users  Max users 1  Uptime 0 00:01\r\n");
    Prompt();
    if (!ReplayQueue.isEmpty() && !ReplayTimer.isActive()) {
        ReplayTimer.start();
    }
}

void FakeNode::Prompt() {
    QByteArray prompt = Call + " de " + NodeName.toByteArray() + " 14-Jun-2026 1158Z dxspider >";
    if (Script.PromptLineEnd) {
        prompt += "\r\n";
    }
    Write(prompt);
}

void FakeNode::Write(const QByteArray &bytes) {
    if (!Client || bytes.isEmpty()) {
        return;
    }
    if (!Script.SplitWrites) {
        Outgoing.append(bytes);
        Drain();
        return;
    }
    for (qsizetype at = 0; at < bytes.size();) {
        const auto piece = static_cast<qsizetype>(Random.bounded(1, LongestPiece + 1));
        Outgoing.append(bytes.mid(at, piece));
        at += piece;
    }
    DrainTimer.start();
}

// Split writes go out one piece per timer tick, so that TCP carries them apart.
void FakeNode::Drain() {
    if (!Client) {
        Outgoing.clear();
    }
    if (Outgoing.isEmpty()) {
        DrainTimer.stop();
        return;
    }
    if (!Script.SplitWrites) {
        for (const auto &bytes : Outgoing) {
            Client->write(bytes);
        }
        Outgoing.clear();
    } else {
        Client->write(Outgoing.takeFirst());
    }
    Client->flush();
}

void FakeNode::Send(const QByteArray &bytes) {
    Write(bytes);
}

void FakeNode::SendLines(const QList<QByteArray> &lines) {
    for (const auto &line : lines) {
        Write(line + "\r\n");
    }
}

void FakeNode::Drop() {
    if (Client) {
        QTcpSocket *socket = Client;
        Client = nullptr;
        Outgoing.clear();
        socket->abort();
        socket->deleteLater();
    }
}

void FakeNode::Bump() {
    if (!Client) {
        return;
    }
    // The notice goes out whole even when writes are split: the client must see it before the
    // close.
    Outgoing.clear();
    Client->write("Reconnected as " + Call + " at 127.0.0.1, this instance is disconnected\r\n");
    Client->flush();
    Client->disconnectFromHost();
}

void FakeNode::Replay(const QList<QByteArray> &lines, int intervalMs) {
    ReplayQueue.append(lines);
    ReplayTimer.setInterval(intervalMs);
    if (ClientLoggedIn()) {
        ReplayTimer.start();
    }
}

void FakeNode::ReplayNext() {
    if (!ClientLoggedIn() || ReplayQueue.isEmpty()) {
        ReplayTimer.stop();
        return;
    }
    Write(ReplayQueue.takeFirst() + "\r\n");
}

} // namespace ionvane::testing
