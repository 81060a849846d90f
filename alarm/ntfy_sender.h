// Push to a phone through ntfy: an HTTP POST of each alarm to the server and topic the user set,
// with a title, the highest priority and tags. A failed post is tried again with back-off, a few
// times; an unreachable server is said once until a post goes through.
#pragma once

#include "alarm_fields.h"

#include "retry/retry_policy.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <string>

namespace ionvane::alarm {

/// One alarm is posted at most this many times: after that it is old news on a phone.
constexpr int NtfyTries = 4;
/// A post not answered in this time fails, ms.
constexpr int NtfyTimeoutMs = 15'000;
/// The back-off between tries: 2 to 4 s, then doubling, never over a minute (an alarm later
/// than that is of little use), at most 20 posts an hour.
constexpr retry::RetryTimings NtfyTimings{
    retry::Milliseconds{2'000},     retry::Milliseconds{4'000}, retry::Milliseconds{60'000}, 20,
    retry::Milliseconds{3'600'000}, retry::Milliseconds{0}};

class NtfySender : public QObject {
    Q_OBJECT
  public:
    /// `token` ("" for none) goes as a Bearer token, for a protected topic.
    NtfySender(QUrl topicUrl, QString token, QObject *parent = nullptr,
               retry::RetryTimings timings = NtfyTimings);

    void Post(const AlarmFields &fields);
    /// Posts under way or waiting for a retry.
    [[nodiscard]] int Pending() const { return PendingNow; }

  signals:
    void said(const QString &words);
    void finished();

  private:
    void Send(const AlarmFields &fields, int tries);
    void Failed(const QString &why);

    QUrl TopicUrl;
    QString Token;
    QNetworkAccessManager Network;
    retry::RetryPolicy Retry;
    int PendingNow = 0;
    bool FailureSaid = false;
};

} // namespace ionvane::alarm
