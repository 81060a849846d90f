#include "cli.h"

#include "batch_reader.h"
#include "live_command.h"
#include "option_number.h"
#include "replay.h"
#include "spot_events.h"
#include "spot_input.h"
#include "tracker_options.h"

#include "calc/ascii.h"
#include "calc/utf8.h"
#include "cli/report.h"
#include "command/calculate_command.h"
#include "ionvane/version.h"
#include "spot/spot_reader.h"
#include "window/locale_format.h"
#include "window/settings_file.h"

#include <QCommandLineParser>
#include <QLocale>

#include <ios>
#include <istream>
#include <optional>
#include <ostream>
#include <variant>

namespace ionvane::cli {

namespace {

using command::CalculateCommand;
using command::CalculateInput;
using command::CalculateOutcome;
using command::ScreenTexts;

struct UsageError {
    std::string Message;
};

/// --help or --version: the text to print on stdout before leaving with success.
struct HelpRequested {
    std::string Text;
};

// What the command line asks for. The settings and the command are not part of it: RunCli loads
// the settings (only where no option gives them) and makes the command once the options are read.
struct Options {
    Options() : Command(calc::NumberFormat{}) {}
    bool Batch = false;
    bool Spots = false;                  ///< batch of raw cluster lines
    bool AnyMode = false;                ///< batch spots tagged as another mode are calculated too
    std::optional<std::string> SpotLine; ///< one raw spot
    bool Json = false;
    CalculateInput Input;
    calc::NumberFormat Format;
    std::optional<std::string> HomeLocator; ///< --home, upper-cased
    std::optional<float> EsLayerHeightKm;   ///< --es-layer
    std::optional<float> HomeHeightKm;      ///< --masl, converted to km
    window::Settings Settings;              ///< filled by LoadSettings
    CalculateCommand Command;               ///< made once, for the number format
    std::optional<ReplayOptions> Replay;    ///< its home settings filled by LoadSettings
    std::optional<LiveOptions> Live;        ///< --cluster, --mqtt; its home settings likewise
};

// The outcome of reading the command line: what to do, a usage error, or a text to print (--help,
// --version).
using ParsedCommandLine = std::variant<Options, UsageError, HelpRequested>;

std::string Utf8(const QString &text) {
    return text.toStdString();
}

ParsedCommandLine ParseOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Sporadic-E MUF and try-towards calculator.");
    const QCommandLineOption from("from", "From locator (box text, taken as it is).", "TEXT");
    const QCommandLineOption to("to", "To locator.", "TEXT");
    const QCommandLineOption freq("freq", "Frequency in MHz, as typed into the box.", "TEXT");
    const QCommandLineOption home("home", "Home locator box text (default: settings file).",
                                  "TEXT");
    const QCommandLineOption esLayer("es-layer", "E-layer height in km, 90 to 130.", "KM");
    const QCommandLineOption masl("masl", "Home height above sea level, whole metres 1 to 5000.",
                                  "METRES");
    const QCommandLineOption locale("locale", "Number format, e.g. en_US or de_DE.", "NAME");
    const QCommandLineOption json("json", "Print one JSON object.");
    const QCommandLineOption batch("batch", "Read FROM TO FREQ [HOME] lines from stdin.");
    const QCommandLineOption spotLine("spot", "One DX-cluster spot line.", "LINE");
    const QCommandLineOption spots("spots", "With --batch: read raw cluster lines from stdin.");
    const QCommandLineOption anyMode(
        "any-mode",
        "With --batch --spots, --replay, --cluster, --mqtt or --wsjtx: also calculate spots tagged "
        "as another mode than Es.");
    parser.addOptions(
        {from, to, freq, home, esLayer, masl, locale, json, batch, spotLine, spots, anyMode});
    const QCommandLineOption replay("replay", "Run the Es tracker over a capture file.", "FILE");
    const QCommandLineOption history(
        "history",
        "With --replay: record in this store. With --cluster, --mqtt or --wsjtx: record in it and "
        "restore its last hour at start (default: the per-user store; none for none).",
        "FILE");
    parser.addOptions({replay, history});
    parser.addOptions(TrackerOptions());
    parser.addOptions(LiveSessionOptions());
    parser.addHelpOption();
    parser.addVersionOption();
    if (!parser.parse(arguments)) {
        return UsageError{Utf8(parser.errorText())};
    }
    // --help-all would add Qt's own options; this program has none worth listing.
    if (parser.isSet("help") || parser.isSet("help-all")) {
        return HelpRequested{Utf8(parser.helpText()) + LiveHelpText()};
    }
    if (parser.isSet("version")) {
        return HelpRequested{std::string("ionvane-cli ") + Version + '\n'};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError{"unexpected argument: " + Utf8(parser.positionalArguments().front())};
    }

    Options options;
    if (const std::string problem = ReadLiveOptions(parser, options.Live); !problem.empty()) {
        return UsageError{problem};
    }
    options.Batch = parser.isSet(batch);
    options.Json = parser.isSet(json);
    options.Spots = parser.isSet(spots);
    options.AnyMode = parser.isSet(anyMode);
    const bool replaying = parser.isSet(replay);
    if (options.AnyMode && !options.Spots && !replaying && !options.Live) {
        return UsageError{"--any-mode goes with --batch --spots or --replay"};
    }
    const bool boxes = parser.isSet(from) || parser.isSet(to) || parser.isSet(freq);
    if (options.Live &&
        (boxes || options.Batch || parser.isSet(spotLine) || options.Json || replaying)) {
        return UsageError{"--cluster, --mqtt and --wsjtx print JSON events of their own; leave out "
                          "--from, --to, --freq, --spot, --batch, --replay and --json"};
    }
    if (parser.isSet(history) && parser.value(history).isEmpty()) {
        return UsageError{"--history takes a FILE or none"};
    }
    if (replaying && (boxes || options.Batch || parser.isSet(spotLine) || options.Json)) {
        return UsageError{"--replay prints JSON events of its own; leave out --from, --to, --freq, "
                          "--spot, --batch and --json"};
    }
    if (parser.isSet("wsjtx-recordings") && !parser.isSet("wsjtx") && !replaying) {
        return UsageError{"--wsjtx-recordings goes with --wsjtx or --replay"};
    }
    if (options.Spots && !options.Batch) {
        return UsageError{"--spots goes with --batch"};
    }
    if (options.Live) {
        // A live session has no boxes of its own: its spots come from the sources.
    } else if (options.Batch) {
        if (boxes || parser.isSet(spotLine)) {
            return UsageError{"--batch reads its input from stdin; leave out --from, --to, --freq "
                              "and --spot"};
        }
    } else if (replaying) {
        options.Replay = ReplayOptions{};
        options.Replay->CaptureFile = Utf8(parser.value(replay));
    } else if (parser.isSet(spotLine)) {
        if (boxes) {
            return UsageError{"--spot replaces --from, --to and --freq"};
        }
        options.SpotLine = Utf8(parser.value(spotLine));
    } else {
        for (const auto *required : {&from, &to, &freq}) {
            if (!parser.isSet(*required)) {
                return UsageError{"missing --" + Utf8(required->names().front())};
            }
        }
        options.Input = CalculateInput{Utf8(parser.value(from)), Utf8(parser.value(to)),
                                       Utf8(parser.value(freq))};
    }

    QLocale numberLocale = QLocale::system();
    if (parser.isSet(locale)) {
        const QString name = parser.value(locale);
        numberLocale = QLocale(name);
        const bool isC = name == "C" || name == "POSIX";
        if (numberLocale == QLocale::c() && !isC) {
            return UsageError{"unknown locale: " + Utf8(name)};
        }
    }
    options.Format = window::NumberFormatOf(numberLocale);
    if (parser.isSet(home)) {
        // As typing into the home box would leave it: ASCII letters upper-cased.
        options.HomeLocator = calc::UpperCaseAscii(Utf8(parser.value(home)));
    }
    if (parser.isSet(esLayer)) {
        const auto km = OptionNumber(parser.value(esLayer));
        if (!km || *km < window::MinEsLayerHeightKm || *km > window::MaxEsLayerHeightKm) {
            return UsageError{"--es-layer takes a height in km from 90 to 130"};
        }
        options.EsLayerHeightKm = static_cast<float>(*km);
    }
    if (parser.isSet(masl)) {
        const auto metres = OptionNumber(parser.value(masl));
        if (!metres || !window::IsMasl(*metres)) {
            return UsageError{"--masl takes whole metres from 1 to 5000"};
        }
        options.HomeHeightKm = window::HomeHeightKmFromMetres(*metres);
    }
    if (options.Replay) {
        ReplayOptions &r = *options.Replay;
        r.Format = options.Format;
        r.AnyMode = options.AnyMode;
        r.WsjtxRecordings = parser.isSet("wsjtx-recordings");
        if (const std::string problem = ReadTrackerOptions(parser, r.Tracker); !problem.empty()) {
            return UsageError{problem};
        }
        if (parser.isSet(history) && parser.value(history) != "none") {
            r.HistoryFile = Utf8(parser.value(history));
        }
    }
    if (options.Live) {
        LiveOptions &l = *options.Live;
        l.Format = options.Format;
        l.AnyMode = options.AnyMode;
        if (const std::string problem = ReadTrackerOptions(parser, l.Tracker); !problem.empty()) {
            return UsageError{problem};
        }
        l.HistoryPath = parser.value(history);
    }
    return options;
}

// The settings of the run: the settings file where an option does not give a setting, each option
// over it. The file is read only when some setting is left to it.
window::Settings LoadSettings(const Options &options) {
    window::Settings settings;
    if (!options.HomeLocator || !options.EsLayerHeightKm || !options.HomeHeightKm) {
        settings = window::LoadSettingsFile(window::SettingsPlaces::ForThisProgram().LoadPath(),
                                            options.Format);
    }
    settings.HomeLocator = options.HomeLocator.value_or(settings.HomeLocator);
    settings.EsLayerHeightKm = options.EsLayerHeightKm.value_or(settings.EsLayerHeightKm);
    settings.HomeHeightKm = options.HomeHeightKm.value_or(settings.HomeHeightKm);
    return settings;
}

struct SingleRun {
    CalculateOutcome Outcome;
    ScreenTexts Screen;
};

// One press of Calculate on a freshly loaded window.
SingleRun Calculate(const Options &options, const CalculateInput &input,
                    const std::string &homeText) {
    calc::CalcState state;
    state.EsLayerHeightKm = options.Settings.EsLayerHeightKm;
    state.HomeHeightKm = options.Settings.HomeHeightKm;
    SingleRun run;
    run.Screen.txtHomeLoc = homeText;
    run.Outcome = options.Command.Run(state, input, run.Screen);
    return run;
}

// The write error of `out`, reported; false when all went out.
bool WriteFailed(std::ostream &out, std::ostream &err) {
    out.flush();
    if (out) {
        return false;
    }
    err << "ionvane-cli: cannot write the output (disk full or output closed)\n";
    return true;
}

int Report(const Options &options, const SingleRun &run, const spot::Spot *read, std::ostream &out,
           std::ostream &err) {
    using Ending = CalculateOutcome::Ending;
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

int RunSingle(const Options &options, std::ostream &out, std::ostream &err) {
    const SingleRun run = Calculate(options, options.Input, options.Settings.HomeLocator);
    return Report(options, run, nullptr, out, err);
}

// The spot's frequency is taken as the number it is, never re-read in the user's number format.
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
    const SingleRun run = Calculate(options, CalculateInput{f[0], f[1], f[2]}, homeText);
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

} // namespace

int RunCli(const QStringList &arguments, std::istream &in, std::ostream &out, std::ostream &err) {
    ParsedCommandLine parsed = ParseOptions(arguments);
    if (const auto *help = std::get_if<HelpRequested>(&parsed)) {
        out << help->Text;
        return WriteFailed(out, err) ? ExitNotComputed : ExitComputed;
    }
    if (const auto *usage = std::get_if<UsageError>(&parsed)) {
        err << "ionvane-cli: " << usage->Message << '\n';
        if (WantsLive(arguments)) {
            err << LiveUsage();
            return ExitUsage;
        }
        err << "usage: ionvane-cli --from TEXT --to TEXT --freq TEXT [--home TEXT] [--es-layer KM]"
               " [--masl METRES] [--locale NAME] [--json]\n"
               "       ionvane-cli --spot LINE [--home TEXT] [--es-layer KM] [--masl METRES]"
               " [--locale NAME] [--json]\n"
               "       ionvane-cli --batch [--spots [--any-mode]] [--home TEXT] [--es-layer KM] "
               "[--masl METRES]"
               " [--locale NAME]\n"
               "       ionvane-cli --replay FILE [--history FILE|none] [--wsjtx-recordings]"
               " [--alarm-band BAND] [--min-km BAND=KM]... [--max-hop-km KM] [--any-mode]"
               " [--home TEXT] ...\n";
        return ExitUsage;
    }
    Options &options = std::get<Options>(parsed);
    options.Settings = LoadSettings(options);
    options.Command = CalculateCommand(options.Format);
    const window::Settings &settings = options.Settings;
    const tracker::HomeSettings home{settings.HomeLocator, settings.EsLayerHeightKm,
                                     settings.HomeHeightKm};
    if (options.Live) {
        options.Live->Home = home;
        return RunLive(*options.Live, out, err);
    }
    if (options.Replay) {
        options.Replay->Home = home;
        return RunReplay(*options.Replay, out, err);
    }
    if (options.Batch) {
        return RunBatch(options, in, out, err);
    }
    return options.SpotLine ? RunSpot(options, out, err) : RunSingle(options, out, err);
}

} // namespace ionvane::cli
