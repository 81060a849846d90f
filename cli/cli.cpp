#include "cli.h"

#include "batch_reader.h"

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

#include <cmath>
#include <ios>
#include <istream>
#include <optional>
#include <ostream>

namespace ionvane::cli {

namespace {

using command::CalculateCommand;
using command::CalculateInput;
using command::CalculateOutcome;
using command::ScreenTexts;

constexpr int MinMasl = 1;
constexpr int MaxMasl = 5000;
constexpr double MetresPerKm = 1000;

struct UsageError {
    std::string Message;
};

/// --help or --version: the text to print on stdout before leaving with success.
struct HelpRequested {
    std::string Text;
};

struct Options {
    Options() : Command(calc::NumberFormat{}) {}
    bool Batch = false;
    bool Spots = false;                  ///< batch of raw cluster lines
    bool AnyMode = false;                ///< batch spots tagged as another mode are calculated too
    std::optional<std::string> SpotLine; ///< one raw spot
    bool Json = false;
    CalculateInput Input;
    calc::NumberFormat Format;
    window::Settings Settings;
    CalculateCommand Command; ///< made once, for the number format
};

std::string Utf8(const QString &text) {
    return text.toStdString();
}

// A number written with "." as decimal point, as options are.
std::optional<double> OptionNumber(const QString &text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

Options ParseOptions(const QStringList &arguments) {
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
        "any-mode", "With --batch --spots: also calculate spots tagged as another mode than Es.");
    parser.addOptions(
        {from, to, freq, home, esLayer, masl, locale, json, batch, spotLine, spots, anyMode});
    parser.addHelpOption();
    parser.addVersionOption();
    if (!parser.parse(arguments)) {
        throw UsageError{Utf8(parser.errorText())};
    }
    // --help-all would add Qt's own options; this program has none worth listing.
    if (parser.isSet("help") || parser.isSet("help-all")) {
        throw HelpRequested{Utf8(parser.helpText())};
    }
    if (parser.isSet("version")) {
        throw HelpRequested{std::string("ionvane-cli ") + Version + '\n'};
    }
    if (!parser.positionalArguments().isEmpty()) {
        throw UsageError{"unexpected argument: " + Utf8(parser.positionalArguments().front())};
    }

    Options options;
    options.Batch = parser.isSet(batch);
    options.Json = parser.isSet(json);
    options.Spots = parser.isSet(spots);
    options.AnyMode = parser.isSet(anyMode);
    if (options.AnyMode && !options.Spots) {
        throw UsageError{"--any-mode goes with --batch --spots"};
    }
    const bool boxes = parser.isSet(from) || parser.isSet(to) || parser.isSet(freq);
    if (options.Spots && !options.Batch) {
        throw UsageError{"--spots goes with --batch"};
    }
    if (options.Batch) {
        if (boxes || parser.isSet(spotLine)) {
            throw UsageError{"--batch reads its input from stdin; leave out --from, --to, --freq "
                             "and --spot"};
        }
    } else if (parser.isSet(spotLine)) {
        if (boxes) {
            throw UsageError{"--spot replaces --from, --to and --freq"};
        }
        options.SpotLine = Utf8(parser.value(spotLine));
    } else {
        for (const auto *required : {&from, &to, &freq}) {
            if (!parser.isSet(*required)) {
                throw UsageError{"missing --" + Utf8(required->names().front())};
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
            throw UsageError{"unknown locale: " + Utf8(name)};
        }
    }
    options.Format = window::NumberFormatOf(numberLocale);
    options.Command = CalculateCommand(options.Format);

    if (!parser.isSet(home) || !parser.isSet(esLayer) || !parser.isSet(masl)) {
        options.Settings = window::LoadSettingsFile(
            window::SettingsPlaces::ForThisProgram().LoadPath(), options.Format);
    }
    if (parser.isSet(home)) {
        // As typing into the home box would leave it: ASCII letters upper-cased.
        options.Settings.HomeLocator = calc::UpperCaseAscii(Utf8(parser.value(home)));
    }
    if (parser.isSet(esLayer)) {
        const auto km = OptionNumber(parser.value(esLayer));
        if (!km || *km < window::MinEsLayerHeightKm || *km > window::MaxEsLayerHeightKm) {
            throw UsageError{"--es-layer takes a height in km from 90 to 130"};
        }
        options.Settings.EsLayerHeightKm = static_cast<float>(*km);
    }
    if (parser.isSet(masl)) {
        const auto metres = OptionNumber(parser.value(masl));
        if (!metres || *metres != std::floor(*metres) || *metres < MinMasl || *metres > MaxMasl) {
            throw UsageError{"--masl takes whole metres from 1 to 5000"};
        }
        // Metres to km once, as the Set MASL command does: the product in double, kept as float.
        options.Settings.HomeHeightKm = static_cast<float>(*metres * (1 / MetresPerKm));
    }
    return options;
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

// The members that a spot adds to a report, with the comma that joins them on.
std::string SpotMembers(const spot::Spot &read) {
    std::string members = ",\"spot\":{\"freqMHz\":";
    members += read.FreqMHzText;
    members += ",\"from\":";
    members += JsonString(read.FromLoc);
    members += ",\"to\":";
    members += JsonString(read.ToLoc);
    members += ",\"tag\":";
    members += read.Tag.empty() ? std::string("null") : JsonString(read.Tag);
    members += ",\"es\":";
    members += read.Es ? "true" : "false";
    members += ",\"dxCall\":";
    members += JsonString(read.DxCall);
    members += ",\"spotter\":";
    members += JsonString(read.Spotter);
    members += '}';
    return members;
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

int Report(const Options &options, const SingleRun &run, const std::string &extraMembers,
           std::ostream &out, std::ostream &err) {
    using Ending = CalculateOutcome::Ending;
    if (options.Json) {
        out << '{' << ReportMembers(run.Outcome, run.Screen) << extraMembers << "}\n";
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
    return Report(options, run, "", out, err);
}

// The spot's frequency is taken as the number it is, never re-read in the user's number format.
CalculateInput SpotInput(const spot::Spot &read) {
    return CalculateInput{read.FromLoc, read.ToLoc, read.FreqMHzText, read.FreqMHz};
}

int RunSpot(const Options &options, std::ostream &out, std::ostream &err) {
    const std::string line = calc::ValidUtf8(*options.SpotLine);
    const spot::SpotReading reading = spot::ReadSpot(line);
    if (reading.Problem != spot::SpotProblem::None) {
        const std::string_view reason = spot::ProblemText(spot::ProblemAsSpot(reading));
        if (options.Json) {
            out << "{\"skipped\":" << JsonString(reason) << "}\n";
        }
        err << "ionvane-cli: " << reason << '\n';
        WriteFailed(out, err);
        return ExitNotComputed;
    }
    const SingleRun run = Calculate(options, SpotInput(reading.Read), options.Settings.HomeLocator);
    return Report(options, run, SpotMembers(reading.Read), out, err);
}

// One batch line of "FROM TO FREQ [HOME]"; false when the line is skipped.
bool BatchLineReport(const Options &options, const std::string &line, std::string &members) {
    const BatchLine parsed = ParseBatchLine(line);
    if (parsed.What == BatchLine::Kind::Skip) {
        return false;
    }
    if (parsed.What == BatchLine::Kind::Malformed) {
        members = "\"error\":";
        members += JsonString("expected FROM TO FREQ [HOME]");
        return true;
    }
    const auto &f = parsed.Fields;
    const std::string &homeText = f.size() == 4 ? f[3] : options.Settings.HomeLocator;
    const SingleRun run = Calculate(options, CalculateInput{f[0], f[1], f[2]}, homeText);
    members = ReportMembers(run.Outcome, run.Screen);
    return true;
}

// One raw cluster line; false for lines that hold no spot (prompts, talk, announcements).
bool SpotLineReport(const Options &options, const std::string &line, std::string &members) {
    const spot::SpotReading reading = spot::ReadSpot(line);
    if (reading.Problem == spot::SpotProblem::NotASpot) {
        return false;
    }
    if (reading.Problem != spot::SpotProblem::None) {
        members = "\"skipped\":";
        members += JsonString(spot::ProblemText(reading.Problem));
        return true;
    }
    if (!reading.Read.Es && !options.AnyMode) {
        members = "\"skipped\":";
        members += JsonString("tagged " + reading.Read.Tag + ", not Es");
        return true;
    }
    const SingleRun run = Calculate(options, SpotInput(reading.Read), options.Settings.HomeLocator);
    members = ReportMembers(run.Outcome, run.Screen);
    members += SpotMembers(reading.Read);
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
        if (tooLong) {
            members = options.Spots ? "\"skipped\":" : "\"error\":";
            members += JsonString("line too long");
        } else if (!(options.Spots ? SpotLineReport(options, line, members)
                                   : BatchLineReport(options, line, members))) {
            continue;
        }
        out << "{\"line\":" << lineNumber << ',' << members << "}\n";
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
    try {
        const Options options = ParseOptions(arguments);
        if (options.Batch) {
            return RunBatch(options, in, out, err);
        }
        return options.SpotLine ? RunSpot(options, out, err) : RunSingle(options, out, err);
    } catch (const HelpRequested &help) {
        out << help.Text;
        return WriteFailed(out, err) ? ExitNotComputed : ExitComputed;
    } catch (const UsageError &usage) {
        err << "ionvane-cli: " << usage.Message << '\n'
            << "usage: ionvane-cli --from TEXT --to TEXT --freq TEXT [--home TEXT] [--es-layer KM]"
               " [--masl METRES] [--locale NAME] [--json]\n"
               "       ionvane-cli --spot LINE [--home TEXT] [--es-layer KM] [--masl METRES]"
               " [--locale NAME] [--json]\n"
               "       ionvane-cli --batch [--spots [--any-mode]] [--home TEXT] [--es-layer KM] "
               "[--masl METRES]"
               " [--locale NAME]\n";
        return ExitUsage;
    }
}

} // namespace ionvane::cli
