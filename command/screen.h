// What the main window shows of a calculation, as plain data: the input controls by name, the six
// result lines, the title and the home locator box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::command {

/// The controls that can take the input focus.
enum class Control { txtFromLoc, txtToLoc, txtFreq, txtHomeLoc, cmdCalcMUF, cmdClear };

/// The control's name, as its object name and in the command line's report ("txtFromLoc").
std::string_view ControlName(Control control);

/// The window's normal title.
inline constexpr std::string_view ProgramTitle = "Ionvane by Tarkel";

/// The texts of the main window that a calculation reads or writes.
struct ScreenTexts {
    std::string lblAZResult;
    std::string lblAzResult2;
    std::string lblMidPoint;
    std::string lblMUFqth;
    std::string lblMUFqth2;
    std::string lblFOT;
    std::string Title{ProgramTitle};
    std::string txtHomeLoc;
};

/// The message the error line shows for a status code (calc::Status), and the control the focus
/// goes to; nothing for a code that names no status.
struct StatusEntry {
    std::string Message;
    Control Focus;
};
std::optional<StatusEntry> LookUpStatus(std::int16_t statusCode);

} // namespace ionvane::command
