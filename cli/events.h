// The live command line's output: one JSON object per event and line, written and flushed as the
// event happens. Every event starts with "event" and "time"; further kinds of event build on the
// same JsonObject and EventWriter.
#pragma once

#include "cluster/session_machine.h"
#include "spot/spot_reader.h"

#include <QDateTime>

#include <iosfwd>
#include <string>
#include <string_view>

namespace ionvane::cli {

/// One JSON object, its members in the order added, written by report.h's member writers.
class JsonObject {
  public:
    JsonObject &String(std::string_view name, std::string_view value);
    JsonObject &Integer(std::string_view name, long long value);
    JsonObject &Boolean(std::string_view name, bool value);
    JsonObject &Null(std::string_view name);
    /// A member whose value is already JSON text (an object, an array, a number's shortest text).
    JsonObject &Raw(std::string_view name, std::string_view json);
    /// The object's text, braces included.
    [[nodiscard]] std::string Text() const { return Members + '}'; }

  private:
    std::string Members = "{";
};

/// "2026-06-14T10:00:25Z": ISO 8601 in UTC, to the second.
std::string IsoTimeUtc(const QDateTime &time);

/// An event object with its "event" and "time" members.
JsonObject Event(std::string_view kind, const QDateTime &timeUtc);

/// Writes events to a stream, each on its own line and flushed at once.
class EventWriter {
  public:
    explicit EventWriter(std::ostream &out) : Out(out) {}
    /// False once a write failed (a full disk); nothing more is written after that.
    bool Write(const JsonObject &event);
    /// An event whose JSON text is made elsewhere (the tracker's), without its line end.
    bool Write(std::string_view json);
    [[nodiscard]] bool Failed() const { return HasFailed; }

  private:
    std::ostream &Out;
    bool HasFailed = false;
};

/// {"event":"connection","time":T,"state":"lost","detail":"...","retryInSeconds":N (waiting only)}
JsonObject ConnectionEventJson(const QDateTime &timeUtc, const cluster::ConnectionEvent &event);

} // namespace ionvane::cli
