#include "test_brokers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpSocket>

#include <mosquitto.h>

namespace ionvane::feed::test {

namespace {

constexpr int EventSliceMs = 10;

// Fixed header types of MQTT 3.1.1 (section 2.2.1).
constexpr char ConnectType = 0x10;
constexpr char SubscribeType = static_cast<char>(0x82);

} // namespace

bool WaitUntil(const std::function<bool()> &done, int limitMs) {
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, EventSliceMs);
    }
    return true;
}

void RunFor(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, EventSliceMs);
    }
}

quint16 FreePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

LocalBroker::LocalBroker() {
    Process.setProcessChannelMode(QProcess::MergedChannels);
}

LocalBroker::~LocalBroker() {
    Stop();
}

bool LocalBroker::Start(quint16 port) {
    const QString program = QStandardPaths::findExecutable(
        "mosquitto", {"/usr/sbin", "/usr/local/sbin", "/usr/bin", "/usr/local/bin"});
    if (program.isEmpty() || !Dir.isValid()) {
        Log = "mosquitto not found (scripts/install-deps.sh installs it)";
        return false;
    }
    // A port picked free may be taken by someone else before the broker binds it: try a few.
    for (int tries = 0; tries < 5; ++tries) {
        ListenPort = port != 0 ? port : FreePort();
        const QString config = Dir.filePath("mosquitto.conf");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        file.write(QString("listener %1 127.0.0.1\n"
                           "allow_anonymous true\n"
                           "persistence false\n"
                           "log_dest stdout\n")
                       .arg(ListenPort)
                       .toUtf8());
        file.close();
        Process.start(program, {"-c", config});
        if (!Process.waitForStarted(5000)) {
            Log = Process.errorString().toStdString();
            return false;
        }
        const bool listening = WaitUntil([&] {
            if (Process.state() != QProcess::Running) {
                return true;
            }
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, ListenPort);
            return probe.waitForConnected(200);
        });
        if (listening && Process.state() == QProcess::Running) {
            return true;
        }
        Log += Process.readAll().toStdString();
        Process.kill();
        Process.waitForFinished(5000);
        if (port != 0) {
            // The same port wanted again (a restart) may still be held for a moment.
            RunFor(200);
        }
    }
    return false;
}

void LocalBroker::Stop() {
    if (Process.state() == QProcess::NotRunning) {
        return;
    }
    Process.terminate();
    if (!Process.waitForFinished(5000)) {
        Process.kill();
        Process.waitForFinished(5000);
    }
    Log += Process.readAll().toStdString();
}

Publisher::Publisher(quint16 port) {
    mosquitto_lib_init();
    Client = mosquitto_new(nullptr, true, this);
    if (Client == nullptr) {
        return;
    }
    mosquitto_connect_callback_set(Client, [](mosquitto *, void *self, int code) {
        static_cast<Publisher *>(self)->Ready = code == 0;
    });
    mosquitto_publish_callback_set(Client, [](mosquitto *, void *self, int messageId) {
        static_cast<Publisher *>(self)->LastPublished = messageId;
    });
    if (mosquitto_connect(Client, "127.0.0.1", port, 60) != MOSQ_ERR_SUCCESS) {
        return;
    }
    for (int i = 0; i < 100 && !Ready; ++i) {
        mosquitto_loop(Client, 100, 1);
    }
}

Publisher::~Publisher() {
    if (Client != nullptr) {
        if (Ready) {
            mosquitto_disconnect(Client);
            mosquitto_loop(Client, 100, 1);
        }
        mosquitto_destroy(Client);
    }
    mosquitto_lib_cleanup();
}

bool Publisher::Publish(const std::string &topic, const std::string &payload) {
    if (!Ready) {
        return false;
    }
    int messageId = 0;
    if (mosquitto_publish(Client, &messageId, topic.c_str(), static_cast<int>(payload.size()),
                          payload.data(), 1, false) != MOSQ_ERR_SUCCESS) {
        return false;
    }
    for (int i = 0; i < 100 && LastPublished != messageId; ++i) {
        mosquitto_loop(Client, 100, 1);
    }
    return LastPublished == messageId;
}

FakeBroker::FakeBroker(Script script) : Plays(script) {
    Server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&Server, &QTcpServer::newConnection, &Server, [this] {
        while (QTcpSocket *socket = Server.nextPendingConnection()) {
            ++Accepted;
            Pending.clear();
            Granted = false;
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray data = socket->readAll();
                Bytes += data;
                Pending += data;
                socket->write(Answer());
                if (Granted && Plays == Script::GrantThenDrop) {
                    socket->disconnectFromHost();
                }
            });
        }
    });
}

// The answer to the whole packets waiting in Pending, which keeps any incomplete rest.
QByteArray FakeBroker::Answer() {
    QByteArray answer;
    while (Pending.size() >= 2) {
        // Remaining lengths below 128 fit in one byte: enough for CONNECT and SUBSCRIBE here.
        const int length = static_cast<unsigned char>(Pending[1]);
        if (Pending.size() < 2 + length) {
            break;
        }
        const QByteArray packet = Pending.left(2 + length);
        Pending.remove(0, 2 + length);
        if (packet[0] == ConnectType && Plays != Script::Silent) {
            answer += QByteArray("\x20\x02\x00\x00", 4);
        } else if (packet[0] == SubscribeType && Plays != Script::Silent &&
                   Plays != Script::ConnackOnly) {
            Granted = true;
            // Packet id, then each topic: two length bytes, the text, one QoS byte.
            int topics = 0;
            for (int at = 4; at + 2 <= packet.size();) {
                const int size = (static_cast<unsigned char>(packet[at]) << 8) +
                                 static_cast<unsigned char>(packet[at + 1]);
                at += 2 + size + 1;
                ++topics;
            }
            answer += '\x90';
            answer += static_cast<char>(2 + topics);
            answer += packet.mid(2, 2);
            answer += QByteArray(topics, Plays == Script::RefuseTopics ? '\x80' : '\x00');
        }
    }
    return answer;
}

} // namespace ionvane::feed::test
