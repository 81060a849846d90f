#include "screen.h"

#include "calc/status.h"

namespace ionvane::command {

std::string_view ControlName(Control control) {
    switch (control) {
    case Control::txtFromLoc:
        return "txtFromLoc";
    case Control::txtToLoc:
        return "txtToLoc";
    case Control::txtFreq:
        return "txtFreq";
    case Control::txtHomeLoc:
        return "txtHomeLoc";
    case Control::cmdCalcMUF:
        return "cmdCalcMUF";
    case Control::cmdClear:
        return "cmdClear";
    }
    return "";
}

namespace {

using calc::Status;

// The message of every status and where the focus goes; a character status's message is completed
// with the position of the bad character.
struct StatusRow {
    Status Code;
    std::string_view Message;
    Control Focus;
    bool NamesCharacter;
};
constexpr StatusRow StatusTable[] = {
    {Status::FromLocatorMissing, "From Locator missing!", Control::txtFromLoc, false},
    {Status::ToLocatorMissing, "To Locator missing!", Control::txtToLoc, false},
    {Status::FromLocatorShort, "From Locator < 4 Characters!", Control::txtFromLoc, false},
    {Status::ToLocatorShort, "To Locator < 4 Characters!", Control::txtToLoc, false},
    {Status::FromLocatorCharacter, "From Locator", Control::txtFromLoc, true},
    {Status::ToLocatorCharacter, "To Locator", Control::txtToLoc, true},
    {Status::HomeLocatorCharacter, "Home Locator", Control::txtHomeLoc, true},
    {Status::AntipodalEnds, "From and To Locators are antipodal!", Control::txtToLoc, false},
    {Status::NoWorkingFrequency, "No working Frequency..!!", Control::txtFreq, false},
};
constexpr int LocatorLength = 6;

} // namespace

std::optional<StatusEntry> LookUpStatus(std::int16_t statusCode) {
    for (const StatusRow &row : StatusTable) {
        const int position = statusCode - calc::StatusCodeOf(row.Code);
        if (!row.NamesCharacter && position == 0) {
            return StatusEntry{std::string(row.Message), row.Focus};
        }
        if (row.NamesCharacter && position >= 1 && position <= LocatorLength) {
            return StatusEntry{std::string(row.Message) + " Character " + std::to_string(position) +
                                   " invalid!",
                               row.Focus};
        }
    }
    return std::nullopt;
}

} // namespace ionvane::command
