#include "single_run.h"

#include "cli.h"
#include "report.h"
#include "spot_input.h"

#include "calc/utf8.h"

#include <ostream>

namespace ionvane::cli {

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

bool WriteFailed(std::ostream &out, std::ostream &err) {
    out.flush();
    if (out) {
        return false;
    }
    err << "ionvane-cli: cannot write the output (disk full or output closed)\n";
    return true;
}

namespace {

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

} // namespace

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

} // namespace ionvane::cli
