// The line forms a spot comes in, each laying a line out into frequency, calls and comment:
// the cluster's "DX de" line, the listing lines of SH/DX, web-cluster rows and a bare comment
// with a frequency in front. Each reader gives nothing for a line of another form.
#pragma once

#include "line_text.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::spot {

/// The parts of a line as its form lays them out.
struct Layout {
    std::string_view Frequency;
    std::string_view DxCall;
    std::string_view Spotter;
    std::string Comment;
    std::string_view TrailingGrid;
};

/// "DX de SPOTTER: FREQ DXCALL comment HHMMZ [GRID]", the cluster's own spot line.
std::optional<Layout> ClusterLine(std::string_view line, const std::vector<Token> &t);

/// "SPOTTER FREQ DXCALL comment HHMM DD Mon YYYY"
std::optional<Layout> ListingLine(std::string_view line, const std::vector<Token> &t);

/// "FREQ DXCALL DD-Mon-YYYY HHMMZ comment <SPOTTER>"
std::optional<Layout> ShowDxLine(std::string_view line, const std::vector<Token> &t);

/// A row copied from a web cluster's table: columns parted by tabs, in whatever order the site
/// shows them (frequency, DX call, spotter, comment, time, date). The frequency is the cell that is
/// one number; the DX call is the call cell nearest after it (before it when none follows), the
/// spotter the other call cell; date and time cells are left out; every other cell is comment.
std::optional<Layout> WebClusterRow(std::string_view line);

/// "50.313 IO90IR<ES>JN77EX", "50313.0 OH60AA IO91<ES>KP20": a number, perhaps a DX call, then the
/// comment. A call-shaped word after the number is the DX call unless it is shaped like a locator
/// and the rest holds fewer than two locators ("144.174 IO91VL JN58TD").
std::optional<Layout> BareLine(std::string_view line, const std::vector<Token> &t);

/// A node's message rather than a spot: "To ALL de DL1ABC: ...", "WWV de W0MU <18>: ...",
/// "WCY de DK0WCY-1 ...", talk "DK7UK de DL1ABC: ...", a prompt "DK7UK de DB0XYZ ... >". Whatever
/// frequency and locators its text names, it is no spot ("To ALL de DL1ABC: Es on 50313 from JN48
/// to IM98").
bool IsNodeMessage(const std::vector<Token> &t);

/// A number and a locator in a line of no known form: the user is told rather than left guessing.
bool HoldsNumberAndLocator(std::string_view line, const std::vector<Token> &t);

} // namespace ionvane::spot
