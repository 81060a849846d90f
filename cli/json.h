// The one JSON writer of the command line: every line it prints (reports, events, maps) is built by
// appending members to a std::string, without a tree or a copy per member, since a replay writes
// several events for each of thousands of spots.
#pragma once

#include "tracker/tracker_events.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace ionvane::cli {

/// Appends `text` as a JSON string literal to `out`.
void AppendJsonString(std::string &out, std::string_view text);

/// Appends the shortest text that reads back as the same number (a float as a float: 50.04, not
/// 50.040000915), or null for a value that is not finite.
void AppendJsonNumber(std::string &out, double value);
void AppendJsonNumber(std::string &out, float value);

/// The writers of one member each, appended to `out` after a comma unless `out` is empty or
/// ends with the opening brace of an object.
void Key(std::string &out, std::string_view name); ///< `"name":`
void StringMember(std::string &out, std::string_view name, std::string_view text);
void NullableStringMember(std::string &out, std::string_view name,
                          std::string_view text); ///< null for ""
void RawMember(std::string &out, std::string_view name, std::string_view json);
void BoolMember(std::string &out, std::string_view name, bool value);
void IntegerMember(std::string &out, std::string_view name, long long value);
/// A double or float as its shortest text that reads back as the same value; null if not finite.
void DoubleMember(std::string &out, std::string_view name, double value);
void FloatMember(std::string &out, std::string_view name, float value);
/// A figure the window shows with two decimals, as that text (1172.77).
void ShownFigureMember(std::string &out, std::string_view name, double value);
/// A time as its UTC text, "2026-06-14T10:00:25Z".
void UtcTimeMember(std::string &out, std::string_view name, tracker::UnixSeconds time);

/// `{"event":"cloud","time":"2026-06-14T10:00:25Z"`, the opening of every event, left open for
/// the event's own members.
std::string EventStart(std::string_view event, tracker::UnixSeconds time);

/// Writes JSON lines to a stream, each flushed at once (a live session's events).
class EventWriter {
  public:
    explicit EventWriter(std::ostream &out) : Out(out) {}
    /// Writes `json` and a line end; false once a write failed (a full disk): nothing more is
    /// written after that.
    bool Write(std::string_view json);
    [[nodiscard]] bool Failed() const { return HasFailed; }

  private:
    std::ostream &Out;
    bool HasFailed = false;
};

} // namespace ionvane::cli
