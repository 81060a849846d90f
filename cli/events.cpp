#include "events.h"

#include "cli/report.h"

#include <ostream>

namespace ionvane::cli {

JsonObject &JsonObject::String(std::string_view name, std::string_view value) {
    StringMember(Members, name, value);
    return *this;
}

JsonObject &JsonObject::Integer(std::string_view name, long long value) {
    IntegerMember(Members, name, value);
    return *this;
}

JsonObject &JsonObject::Boolean(std::string_view name, bool value) {
    BoolMember(Members, name, value);
    return *this;
}

JsonObject &JsonObject::Null(std::string_view name) {
    RawMember(Members, name, "null");
    return *this;
}

JsonObject &JsonObject::Raw(std::string_view name, std::string_view json) {
    RawMember(Members, name, json);
    return *this;
}

std::string IsoTimeUtc(const QDateTime &time) {
    return time.toUTC().toString(Qt::ISODate).toStdString();
}

JsonObject Event(std::string_view kind, const QDateTime &timeUtc) {
    JsonObject event;
    event.String("event", kind).String("time", IsoTimeUtc(timeUtc));
    return event;
}

bool EventWriter::Write(const JsonObject &event) {
    return Write(std::string_view(event.Text()));
}

bool EventWriter::Write(std::string_view json) {
    if (HasFailed) {
        return false;
    }
    Out << json << '\n';
    Out.flush();
    HasFailed = !Out;
    return !HasFailed;
}

namespace {

std::string_view StateName(cluster::ConnectionEvent::Kind kind) {
    using Kind = cluster::ConnectionEvent::Kind;
    switch (kind) {
    case Kind::Connecting:
        return "connecting";
    case Kind::LoggedIn:
        return "logged-in";
    case Kind::Lost:
        return "lost";
    case Kind::Waiting:
        return "waiting";
    case Kind::Refused:
        return "refused";
    }
    return "";
}

} // namespace

JsonObject ConnectionEventJson(const QDateTime &timeUtc, const cluster::ConnectionEvent &event) {
    JsonObject json = Event("connection", timeUtc);
    json.String("state", StateName(event.What)).String("detail", event.Detail);
    if (event.What == cluster::ConnectionEvent::Kind::Waiting) {
        // Whole seconds, rounded up: the try never comes before the time announced.
        constexpr long long MsPerSecond = 1000;
        json.Integer("retryInSeconds", (event.RetryIn.count() + MsPerSecond - 1) / MsPerSecond);
    }
    return json;
}

} // namespace ionvane::cli
