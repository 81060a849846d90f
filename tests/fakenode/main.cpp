// ionvane-fakenode: a fake cluster node on 127.0.0.1 replaying a capture file, for manual runs and
// screenshots. Not installed.
#include "fake_node.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

// Capture lines ("2026-06-14T10:00:25Z<TAB>line") lose their time; plain lines stay as they are.
QList<QByteArray> ReadCapture(const QString &path, bool &ok) {
    QFile file(path);
    ok = file.open(QIODevice::ReadOnly);
    QList<QByteArray> lines;
    while (ok && !file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) {
            line.chop(1);
        }
        const auto tab = line.indexOf('\t');
        if (tab > 0 && line.left(tab).endsWith('Z') && line.left(tab).contains('T')) {
            line = line.mid(tab + 1);
        }
        lines.append(line);
    }
    return lines;
}

} // namespace

int main(int argc, char *argv[]) {
    using namespace ionvane::testing;
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Fake DX-cluster node on 127.0.0.1 replaying a capture.");
    const QCommandLineOption port("port", "Port to listen on (default: any free one).", "PORT");
    const QCommandLineOption capture("capture", "Capture or text file to replay after login.",
                                     "FILE");
    const QCommandLineOption interval("interval", "Milliseconds between lines (default 300).", "MS",
                                      "300");
    const QCommandLineOption greeting("greeting", "login, please or call (default login).", "KIND",
                                      "login");
    const QCommandLineOption password("password", "Ask for this password after the call.", "TEXT");
    const QCommandLineOption telnet("telnet-options", "Offer telnet options first.");
    const QCommandLineOption split("split", "Write in random pieces of 1 to 7 bytes.");
    const QCommandLineOption bumpAfter(
        "bump-after", "Bump the session this many seconds after its login.", "SECONDS");
    const QCommandLineOption dropAfter(
        "drop-after", "Drop the connection this many seconds after its login.", "SECONDS");
    parser.addOptions(
        {port, capture, interval, greeting, password, telnet, split, bumpAfter, dropAfter});
    parser.addHelpOption();
    parser.process(app);

    FakeNodeScript script;
    const QString kind = parser.value(greeting);
    script.Greet = kind == "please" ? Greeting::PleaseEnterCall
                   : kind == "call" ? Greeting::CallColon
                                    : Greeting::Login;
    script.Password = parser.value(password).toUtf8();
    script.TelnetOptions = parser.isSet(telnet);
    script.SplitWrites = parser.isSet(split);
    FakeNode node(script);
    if (!node.Listen(static_cast<quint16>(parser.value(port).toUInt()))) {
        std::fprintf(stderr, "ionvane-fakenode: cannot listen on 127.0.0.1:%s\n",
                     qPrintable(parser.value(port)));
        return 1;
    }
    if (parser.isSet(capture)) {
        bool ok = false;
        const QList<QByteArray> lines = ReadCapture(parser.value(capture), ok);
        if (!ok) {
            std::fprintf(stderr, "ionvane-fakenode: cannot read %s\n",
                         qPrintable(parser.value(capture)));
            return 1;
        }
        node.Replay(lines, parser.value(interval).toInt());
    }
    // Bump or drop each session the given time after its login.
    QTimer watch;
    bool wasLoggedIn = false;
    QTimer::connect(&watch, &QTimer::timeout, [&] {
        const bool loggedIn = node.ClientLoggedIn();
        if (loggedIn && !wasLoggedIn) {
            std::printf("client logged in as %s\n", node.LoggedInCall().constData());
            std::fflush(stdout);
            for (const auto *option : {&bumpAfter, &dropAfter}) {
                if (parser.isSet(*option)) {
                    const int ms = static_cast<int>(parser.value(*option).toDouble() * 1000);
                    const bool bump = option == &bumpAfter;
                    QTimer::singleShot(ms, &node, [&node, bump] {
                        bump ? node.Bump() : node.Drop();
                        std::printf("%s\n", bump ? "bumped" : "dropped");
                        std::fflush(stdout);
                    });
                }
            }
        }
        wasLoggedIn = loggedIn;
    });
    watch.start(10);
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(node.Port()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
