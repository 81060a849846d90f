#include "wsjtx_json.h"

#include <QTimeZone>

namespace ionvane::cli {

JsonObject WsjtxListeningEventJson(const wsjtx::WsjtxEvent &event) {
    JsonObject json =
        Event("connection", QDateTime::fromSecsSinceEpoch(
                                event.ReceivedAt.time_since_epoch().count(), QTimeZone::utc()));
    json.String("source", WsjtxSourceName)
        .String("state", wsjtx::ListeningName(event.State))
        .String("detail", event.Detail);
    return json;
}

} // namespace ionvane::cli
