#include "ntfy_sender.h"

#include <QDateTime>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QTimer>

namespace ionvane::alarm {

namespace {

// ntfy's priority 5 ("urgent"): a long vibration and a pop-over on the phone. An opening is
// minutes long.
constexpr const char *UrgentPriority = "5";

std::int64_t NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

NtfySender::NtfySender(QUrl topicUrl, QString token, QObject *parent, retry::RetryTimings timings)
    : QObject(parent), TopicUrl(std::move(topicUrl)), Token(std::move(token)), Retry(timings) {
    Network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void NtfySender::Failed(const QString &why) {
    if (!FailureSaid) {
        FailureSaid = true;
        emit said("cannot reach the ntfy server " + TopicUrl.host() + ": " + why);
    }
}

void NtfySender::Post(const AlarmFields &fields) {
    ++PendingNow;
    Send(fields, 1);
}

void NtfySender::Send(const AlarmFields &fields, int tries) {
    QNetworkRequest request(TopicUrl);
    request.setTransferTimeout(NtfyTimeoutMs);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "text/plain; charset=utf-8");
    // The alarm's words are sent as the body, in UTF-8; the headers keep to ASCII.
    request.setRawHeader("Title", AlarmTitle(fields).toLatin1());
    request.setRawHeader("Priority", UrgentPriority);
    request.setRawHeader("Tags", "rotating_light," + QByteArray::fromStdString(std::string(
                                                         spot::BandName(fields.Alarm.Which))));
    if (!Token.isEmpty()) {
        request.setRawHeader("Authorization", "Bearer " + Token.toLatin1());
    }
    Retry.Tried(NowMs());
    QNetworkReply *reply = Network.post(request, QByteArray::fromStdString(fields.Alarm.Text));
    connect(reply, &QNetworkReply::finished, this, [this, reply, fields, tries] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() == QNetworkReply::NoError) {
            FailureSaid = false;
            Retry.Up(NowMs());
            --PendingNow;
            emit finished();
            return;
        }
        Failed(status > 0 ? QString("HTTP %1").arg(status) : reply->errorString());
        // A refusal of the post itself (a wrong token, a topic not allowed) will not change.
        const bool final = status >= 400 && status < 500 && status != 429;
        if (final || tries >= NtfyTries) {
            --PendingNow;
            emit finished();
            return;
        }
        const auto wait = Retry.Failed(NowMs(), QRandomGenerator::global()->generateDouble());
        QTimer::singleShot(wait, this, [this, fields, tries] { Send(fields, tries + 1); });
    });
}

} // namespace ionvane::alarm
