#include "feed_json.h"

#include <QTimeZone>

namespace ionvane::cli {

JsonObject FeedConnectionEventJson(const feed::FeedEvent &event) {
    JsonObject json =
        Event("connection", QDateTime::fromSecsSinceEpoch(
                                event.ReceivedAt.time_since_epoch().count(), QTimeZone::utc()));
    json.String("source", FeedSourceName)
        .String("state", feed::ConnectionName(event.Connection))
        .String("detail", event.Detail);
    if (event.Connection == feed::FeedConnection::Waiting) {
        // Whole seconds, rounded up as the cluster's waits are: the try never comes before the
        // time announced.
        constexpr long long MsPerSecond = 1000;
        json.Integer("retryInSeconds", (event.RetryIn.count() + MsPerSecond - 1) / MsPerSecond);
    }
    return json;
}

} // namespace ionvane::cli
