// A calculation's outcome as one line of JSON, for scripts and batch work.
#pragma once

#include "command/calculate_command.h"
#include "spot/spot_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ionvane::cli {

/// `text` as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

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
/// A time as its UTC text, "2026-06-14T10:00:25Z" (seconds since 1970-01-01T00:00:00Z).
void UtcTimeMember(std::string &out, std::string_view name, std::int64_t unixSeconds);

/// The members of the report object: status ("stopped":true after it when a frequency of 0
/// stopped the run), message, focus, title, homeLocator, labels, then the figures of a completed
/// run.
void AppendReportMembers(std::string &out, const command::CalculateOutcome &outcome,
                         const command::ScreenTexts &screen);
std::string ReportMembers(const command::CalculateOutcome &outcome,
                          const command::ScreenTexts &screen);

/// The spot a report was made from as an object: {"freqMHz":50.099 (as written),"from":"JN48QT",
/// "to":"IM98MM","tag":"ES" or null,"es":true,"dxCall":..,"spotter":..}.
void AppendSpotObject(std::string &out, const spot::Spot &read);

/// "spot": the spot object above, as a member.
void AppendSpotMembers(std::string &out, const spot::Spot &read);

} // namespace ionvane::cli
