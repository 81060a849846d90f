#include "alarm_hook.h"

#include <QProcess>
#include <QTimer>

namespace ionvane::alarm {

namespace {
constexpr double MsPerSecond = 1000;
} // namespace

AlarmHook::AlarmHook(QString command, QObject *parent, int limitMs)
    : QObject(parent), Command(std::move(command)), LimitMs(limitMs) {}

void AlarmHook::Failed(const QString &words) {
    if (!FailureSaid) {
        FailureSaid = true;
        emit said(words);
    }
}

void AlarmHook::Run(const AlarmFields &fields) {
    if (RunningNow >= HooksAtOnce) {
        Failed(QString("the alarm command is still running %1 times; this alarm passed it over")
                   .arg(RunningNow));
        return;
    }
    auto *process = new QProcess(this);
    process->setProcessEnvironment(
        AlarmEnvironment(fields, QProcessEnvironment::systemEnvironment()));
    // Its output would mix with the command line's events: dropped. Its errors reach the user.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    auto *limit = new QTimer(process);
    limit->setSingleShot(true);
    auto hung = std::make_shared<bool>(false);
    connect(limit, &QTimer::timeout, process, [process, limit, hung] {
        if (!*hung) {
            *hung = true;
            process->terminate();
            limit->start(HookGraceMs);
        } else {
            process->kill();
        }
    });
    ++RunningNow;
    const auto done = [this, process] {
        --RunningNow;
        process->deleteLater();
        emit finished();
    };
    connect(process, &QProcess::finished, this,
            [this, hung, done](int code, QProcess::ExitStatus status) {
                if (*hung) {
                    Failed(QString("the alarm command ran longer than %1 s and was ended")
                               .arg(QString::number(LimitMs / MsPerSecond)));
                } else if (status != QProcess::NormalExit) {
                    Failed("the alarm command crashed");
                } else if (code != 0) {
                    Failed(QString("the alarm command failed (exit status %1)").arg(code));
                } else {
                    FailureSaid = false;
                }
                done();
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, done](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart) {
                    Failed("the alarm command could not start: " + process->errorString());
                    done();
                }
            });
    const QByteArray json = AlarmJson(fields);
    process->start("/bin/sh", {"-c", Command});
    // Written to the pipe's buffer (far larger than one alarm), never waited for.
    process->write(json);
    process->closeWriteChannel();
    limit->start(LimitMs);
}

} // namespace ionvane::alarm
