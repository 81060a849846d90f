#include "batch_run.h"

#include "batch_reader.h"
#include "cli.h"
#include "report.h"
#include "single_run.h"
#include "spot_input.h"

#include "spot/spot_reader.h"

#include <ios>
#include <istream>
#include <ostream>

namespace ionvane::cli {

namespace {

// One batch line of "FROM TO FREQ [HOME]", its report members appended; false when the line is
// skipped.
bool BatchLineReport(const Options &options, const std::string &line, std::string &members) {
    const BatchLine parsed = ParseBatchLine(line);
    if (parsed.What == BatchLine::Kind::Skip) {
        return false;
    }
    if (parsed.What == BatchLine::Kind::Malformed) {
        StringMember(members, "error", "expected FROM TO FREQ [HOME]");
        return true;
    }
    const auto &f = parsed.Fields;
    const std::string &homeText = f.size() == 4 ? f[3] : options.Settings.HomeLocator;
    const SingleRun run = Calculate(options, command::CalculateInput{f[0], f[1], f[2]}, homeText);
    AppendReportMembers(members, run.Outcome, run.Screen);
    return true;
}

// One raw cluster line, its report members appended; false for lines that hold no spot (prompts,
// talk, announcements).
bool SpotLineReport(const Options &options, const std::string &line, std::string &members) {
    const spot::SpotReading reading = spot::ReadSpot(line);
    if (reading.Problem == spot::SpotProblem::NotASpot) {
        return false;
    }
    if (reading.Problem != spot::SpotProblem::None) {
        StringMember(members, "skipped", spot::ProblemText(reading.Problem));
        return true;
    }
    if (!reading.Read.Es && !options.AnyMode) {
        StringMember(members, "skipped", "tagged " + reading.Read.Tag + ", not Es");
        return true;
    }
    const SingleRun run = Calculate(options, SpotInput(reading.Read), options.Settings.HomeLocator);
    AppendReportMembers(members, run.Outcome, run.Screen);
    AppendSpotMembers(members, reading.Read);
    return true;
}

} // namespace

int RunBatch(const Options &options, std::istream &in, std::ostream &out, std::ostream &err) {
    LineReader reader(in);
    std::string line;
    std::string members;
    bool tooLong = false;
    long long lineNumber = 0;
    if (in.bad()) {
        err << "ionvane-cli: cannot read the input: standard input is closed\n";
        return ExitNotComputed;
    }
    for (;;) {
        try {
            if (!reader.Next(line, tooLong)) {
                break;
            }
        } catch (const std::ios_base::failure &failure) {
            // A closed or unreadable standard input (a directory): the file buffer throws.
            WriteFailed(out, err);
            err << "ionvane-cli: cannot read the input: " << failure.what() << '\n';
            return ExitNotComputed;
        }
        ++lineNumber;
        // One buffer for every line's report: it keeps its room from line to line.
        members.assign(1, '{');
        IntegerMember(members, "line", lineNumber);
        if (tooLong) {
            StringMember(members, options.Spots ? "skipped" : "error", "line too long");
        } else if (!(options.Spots ? SpotLineReport(options, line, members)
                                   : BatchLineReport(options, line, members))) {
            continue;
        }
        members += "}\n";
        out << members;
        // Output streams as input arrives: flush whenever no more input is waiting.
        if (in.rdbuf()->in_avail() <= 0) {
            out.flush();
        }
        if (!out) {
            break; // nothing more can be written: stop reading
        }
    }
    if (WriteFailed(out, err)) {
        return ExitNotComputed;
    }
    if (in.bad()) {
        err << "ionvane-cli: cannot read the input\n";
        return ExitNotComputed;
    }
    return ExitComputed;
}

} // namespace ionvane::cli
