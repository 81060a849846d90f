// ionvane-cli run as a process for the tests of its live sessions: a home of its own (never the
// user's settings, password or history store), its stdout collected line by line as it comes.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

namespace ionvane::testing {

class CliProcess {
  public:
    explicit CliProcess(const QStringList &arguments, const QString &password = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("IONVANE_PASSWORD", password); // never the user's
        env.insert("HOME", Home.path());
        env.insert("XDG_CONFIG_HOME", Home.path() + "/config");
        env.insert("XDG_DATA_HOME", Home.path() + "/data");
        Process.setProcessEnvironment(env);
        QObject::connect(&Process, &QProcess::readyReadStandardOutput, [this] {
            Pending += Process.readAllStandardOutput();
            qsizetype end = 0;
            while ((end = Pending.indexOf('\n')) >= 0) {
                Lines.append(Pending.left(end));
                Pending.remove(0, end + 1);
            }
        });
        Process.start(IONVANE_CLI, arguments);
    }
    ~CliProcess() {
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished();
        }
    }
    CliProcess(const CliProcess &) = delete;
    CliProcess &operator=(const CliProcess &) = delete;

    /// The events of one kind ("spot"), or all of them, in order.
    [[nodiscard]] QList<QJsonObject> Events(const QString &kind = {}) const {
        QList<QJsonObject> events;
        for (const auto &line : Lines) {
            const QJsonObject event = QJsonDocument::fromJson(line).object();
            if (kind.isEmpty() || event.value("event").toString() == kind) {
                events.append(event);
            }
        }
        return events;
    }
    /// The events of `kind` whose "state" is `state` (any state when empty).
    [[nodiscard]] int Count(const QString &kind, const QString &state = {}) const {
        int count = 0;
        for (const auto &event : Events(kind)) {
            count += state.isEmpty() || event.value("state").toString() == state ? 1 : 0;
        }
        return count;
    }
    /// Runs the event loop until the process has ended, at most `boundMs`.
    bool Finish(int boundMs = 20'000) {
        QDeadlineTimer deadline(boundMs);
        while (Process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return Process.state() == QProcess::NotRunning;
    }
    /// Every line printed so far, for the message of a failed check.
    [[nodiscard]] std::string Text() const { return Lines.join('\n').toStdString(); }

    // Declared first, so that it outlives the process.
    QTemporaryDir Home;
    QProcess Process;
    QByteArray Pending;
    QList<QByteArray> Lines;
};

} // namespace ionvane::testing
