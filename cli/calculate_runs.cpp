#include "calculate_runs.h"

#include "batch_reader.h"
#include "json.h"
#include "report_json.h"

#include "calc/utf8.h"
#include "spot/spot_reader.h"

#include <ios>
#include <istream>
#include <ostream>

namespace ionvane::cli {

namespace {

struct SingleRun {
    command::CalculateOutcome Outcome;
    command::ScreenTexts Screen;
};

// One press of Calculate on a freshly loaded window.
SingleRun Calculate(const Options &options, const command::CalculateInput &input,
                    const std::string &homeText) {
    calc::CalcState state;
    state.EsLayerHeightKm = options.Settings.EsLayerHeightKm;
    state.HomeHeightKm = options.Settings.HomeHeightKm;
    SingleRun run;
    run.Screen.txtHomeLoc = homeText;
    run.Outcome = options.Command.Run(state, input, run.Screen);
    return run;
}

// What Calculate is given for a spot: the same for --spot and --batch --spots, so that each gives
// the same result for the same line. The spot's locators as box texts and its frequency as the
// number it is (never re-read through the user's number format); the frequency text only says how
// the box would show it.
command::CalculateInput SpotInput(const spot::Spot &read) {
    return command::CalculateInput{read.FromLoc, read.ToLoc, read.FreqMHzText, read.FreqMHz};
}

int Report(const Options &options, const SingleRun &run, const spot::Spot *read, std::ostream &out,
           std::ostream &err) {
    using Ending = command::CalculateOutcome::Ending;
    if (options.Json) {
        std::string report = "{";
        AppendReportMembers(report, run.Outcome, run.Screen);
        if (read != nullptr) {
            AppendSpotMembers(report, *read);
        }
        out << report << "}\n";
    } else if (run.Outcome.HowEnded == Ending::Completed) {
        const auto &s = run.Screen;
        for (const auto *line : {&s.lblAZResult, &s.lblAzResult2, &s.lblMidPoint, &s.lblMUFqth,
                                 &s.lblMUFqth2, &s.lblFOT}) {
            out << *line << '\n';
        }
    } else if (run.Outcome.HowEnded == Ending::ErrorShown) {
        err << run.Screen.lblMUFqth << '\n';
    } else {
        err << "ionvane-cli: the frequency is 0, nothing calculated\n";
    }
    if (WriteFailed(out, err)) {
        return ExitNotComputed;
    }
    return run.Outcome.HowEnded == Ending::Completed ? ExitComputed : ExitNotComputed;
}

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

bool WriteFailed(std::ostream &out, std::ostream &err) {
    out.flush();
    if (out) {
        return false;
    }
    err << "ionvane-cli: cannot write the output (disk full or output closed)\n";
    return true;
}

int RunSingle(const Options &options, std::ostream &out, std::ostream &err) {
    const SingleRun run = Calculate(options, options.Input, options.Settings.HomeLocator);
    return Report(options, run, nullptr, out, err);
}

int RunSpot(const Options &options, std::ostream &out, std::ostream &err) {
    const std::string line = calc::ValidUtf8(*options.SpotLine);
    const spot::SpotReading reading = spot::ReadSpot(line);
    if (reading.Problem != spot::SpotProblem::None) {
        const std::string_view reason = spot::ProblemText(spot::ProblemAsSpot(reading));
        if (options.Json) {
            std::string report = "{";
            StringMember(report, "skipped", reason);
            out << report << "}\n";
        }
        err << "ionvane-cli: " << reason << '\n';
        WriteFailed(out, err);
        return ExitNotComputed;
    }
    const SingleRun run = Calculate(options, SpotInput(reading.Read), options.Settings.HomeLocator);
    return Report(options, run, &reading.Read, out, err);
}

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
