#include "command_line.h"

#include "alarm_options.h"
#include "calculate_runs.h"
#include "muf_map_options.h"
#include "session_options.h"

#include "calc/ascii.h"
#include "ionvane/version.h"
#include "window/locale_format.h"

#include <QCommandLineParser>
#include <QLocale>

#include <istream>
#include <ostream>
#include <variant>

namespace ionvane::cli {

namespace {

// The options of a single run, a batch, a spot line and a replay; the tracker's, the places',
// the live sessions' and the alarm's come from their own files.
struct RunOptions {
    QCommandLineOption From{"from", "From locator (box text, taken as it is).", "TEXT"};
    QCommandLineOption To{"to", "To locator.", "TEXT"};
    QCommandLineOption Freq{"freq", "Frequency in MHz, as typed into the box.", "TEXT"};
    QCommandLineOption Home{"home", "Home locator box text (default: settings file).", "TEXT"};
    QCommandLineOption EsLayer{"es-layer", "E-layer height in km, 90 to 130.", "KM"};
    QCommandLineOption Masl{"masl", "Home height above sea level, whole metres 1 to 5000.",
                            "METRES"};
    QCommandLineOption Locale{"locale", "Number format, e.g. en_US or de_DE.", "NAME"};
    QCommandLineOption Json{"json", "Print one JSON object."};
    QCommandLineOption Batch{"batch", "Read FROM TO FREQ [HOME] lines from stdin."};
    QCommandLineOption SpotLine{"spot", "One DX-cluster spot line.", "LINE"};
    QCommandLineOption Spots{"spots", "With --batch: read raw cluster lines from stdin."};
    QCommandLineOption AnyMode{
        "any-mode",
        "With --batch --spots, --replay, --cluster, --mqtt or --wsjtx: also calculate spots tagged "
        "as another mode than Es."};
    QCommandLineOption Replay{"replay", "Run the Es tracker over a capture file.", "FILE"};
    QCommandLineOption History{
        "history",
        "With --replay: record in this store. With --cluster, --mqtt or --wsjtx: record in it and "
        "restore its last hour at start (default: the per-user store; none for none).",
        "FILE"};

    void AddTo(QCommandLineParser &parser) const {
        parser.addOptions(
            {From, To, Freq, Home, EsLayer, Masl, Locale, Json, Batch, SpotLine, Spots, AnyMode});
        parser.addOptions({Replay, History});
        parser.addOptions(TrackerOptions());
        parser.addOptions(PlaceOptionList());
        parser.addOptions(LiveSessionOptions());
        parser.addOptions(AlarmOptions());
        parser.addOptions(MufMapOptions());
        parser.addHelpOption();
        parser.addVersionOption();
    }
};

// What to run: a live session, a batch, a replay, a spot line or one calculation, and the options
// that cannot go together. Empty when the options agree.
std::string ReadWhatToRun(const QCommandLineParser &parser, const RunOptions &o, Options &options) {
    if (const std::string problem = ReadLiveOptions(parser, options.Live); !problem.empty()) {
        return problem;
    }
    options.Batch = parser.isSet(o.Batch);
    options.Json = parser.isSet(o.Json);
    options.Spots = parser.isSet(o.Spots);
    options.AnyMode = parser.isSet(o.AnyMode);
    const bool replaying = parser.isSet(o.Replay);
    if (options.AnyMode && !options.Spots && !replaying && !options.Live) {
        return "--any-mode goes with --batch --spots or --replay";
    }
    const bool boxes = parser.isSet(o.From) || parser.isSet(o.To) || parser.isSet(o.Freq);
    if (options.Live &&
        (boxes || options.Batch || parser.isSet(o.SpotLine) || options.Json || replaying)) {
        return "--cluster, --mqtt and --wsjtx print JSON events of their own; leave out "
               "--from, --to, --freq, --spot, --batch, --replay and --json";
    }
    if (parser.isSet(o.History) && parser.value(o.History).isEmpty()) {
        return "--history takes a FILE or none";
    }
    if (replaying && (boxes || options.Batch || parser.isSet(o.SpotLine) || options.Json)) {
        return "--replay prints JSON events of its own; leave out --from, --to, --freq, "
               "--spot, --batch and --json";
    }
    if (parser.isSet("wsjtx-recordings") && !parser.isSet("wsjtx") && !replaying) {
        return "--wsjtx-recordings goes with --wsjtx or --replay";
    }
    if (options.Spots && !options.Batch) {
        return "--spots goes with --batch";
    }
    if (options.Live) {
        // A live session has no boxes of its own: its spots come from the sources.
    } else if (options.Batch) {
        if (boxes || parser.isSet(o.SpotLine)) {
            return "--batch reads its input from stdin; leave out --from, --to, --freq "
                   "and --spot";
        }
    } else if (replaying) {
        options.Replay = ReplayOptions{};
        options.Replay->CaptureFile = parser.value(o.Replay).toStdString();
    } else if (parser.isSet(o.SpotLine)) {
        if (boxes) {
            return "--spot replaces --from, --to and --freq";
        }
        options.SpotLine = parser.value(o.SpotLine).toStdString();
    } else {
        for (const auto *required : {&o.From, &o.To, &o.Freq}) {
            if (!parser.isSet(*required)) {
                return "missing --" + required->names().front().toStdString();
            }
        }
        options.Input = command::CalculateInput{parser.value(o.From).toStdString(),
                                                parser.value(o.To).toStdString(),
                                                parser.value(o.Freq).toStdString()};
    }
    return {};
}

// The number format, home and heights every calculation uses. Empty when they read.
std::string ReadCalculationSettings(const QCommandLineParser &parser, const RunOptions &o,
                                    Options &options) {
    QLocale numberLocale = QLocale::system();
    if (parser.isSet(o.Locale)) {
        const QString name = parser.value(o.Locale);
        numberLocale = QLocale(name);
        const bool isC = name == "C" || name == "POSIX";
        if (numberLocale == QLocale::c() && !isC) {
            return "unknown locale: " + name.toStdString();
        }
    }
    options.Format = window::NumberFormatOf(numberLocale);
    if (parser.isSet(o.Home)) {
        // As typing into the home box would leave it: ASCII letters upper-cased.
        options.HomeLocator = calc::UpperCaseAscii(parser.value(o.Home).toStdString());
    }
    if (parser.isSet(o.EsLayer)) {
        const auto km = OptionNumber(parser.value(o.EsLayer));
        if (!km || *km < window::MinEsLayerHeightKm || *km > window::MaxEsLayerHeightKm) {
            return "--es-layer takes a height in km from 90 to 130";
        }
        options.EsLayerHeightKm = static_cast<float>(*km);
    }
    if (parser.isSet(o.Masl)) {
        const auto metres = OptionNumber(parser.value(o.Masl));
        if (!metres || !window::IsMasl(*metres)) {
            return "--masl takes whole metres from 1 to 5000";
        }
        options.HomeHeightKm = window::HomeHeightKmFromMetres(*metres);
    }
    return {};
}

// What a replay or a live session runs with besides its input: alarm outlets, tracker, places,
// history store. Empty when they read.
std::string ReadSessionSettings(const QCommandLineParser &parser, const RunOptions &o,
                                Options &options) {
    const bool session = options.Replay.has_value() || options.Live.has_value();
    SessionSettings shared;
    if (const std::string problem = ReadAlarmOptions(parser, session, shared.Outlets);
        !problem.empty()) {
        return problem;
    }
    if (const std::string problem = ReadMufMapOptions(parser, session ? &shared.MufMap : nullptr);
        !problem.empty()) {
        return problem;
    }
    if (!session) {
        return {};
    }
    shared.Format = options.Format;
    shared.AnyMode = options.AnyMode;
    if (const std::string problem = ReadTrackerOptions(parser, shared.Tracker); !problem.empty()) {
        return problem;
    }
    shared.Places = ReadPlaceOptions(parser);
    if (options.Replay) {
        ReplayOptions &r = *options.Replay;
        r.Session = shared;
        r.WsjtxRecordings = parser.isSet("wsjtx-recordings");
        if (parser.isSet(o.History) && parser.value(o.History) != "none") {
            r.HistoryFile = parser.value(o.History).toStdString();
        }
    }
    if (options.Live) {
        options.Live->Session = shared;
        options.Live->HistoryPath = parser.value(o.History);
    }
    return {};
}

} // namespace

ParsedCommandLine ParseOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Sporadic-E MUF and try-towards calculator.");
    const RunOptions run;
    run.AddTo(parser);
    if (!parser.parse(arguments)) {
        return UsageError{parser.errorText().toStdString()};
    }
    // --help-all would add Qt's own options; this program has none worth listing.
    if (parser.isSet("help") || parser.isSet("help-all")) {
        return HelpRequested{parser.helpText().toStdString() + LiveHelpText()};
    }
    if (parser.isSet("version")) {
        return HelpRequested{std::string("ionvane-cli ") + Version + '\n'};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError{"unexpected argument: " +
                          parser.positionalArguments().front().toStdString()};
    }
    Options options;
    for (const auto step : {ReadWhatToRun, ReadCalculationSettings, ReadSessionSettings}) {
        if (const std::string problem = step(parser, run, options); !problem.empty()) {
            return UsageError{problem};
        }
    }
    return options;
}

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
    options.Command = command::CalculateCommand(options.Format);
    const window::Settings &settings = options.Settings;
    const tracker::HomeSettings home{settings.HomeLocator, settings.EsLayerHeightKm,
                                     settings.HomeHeightKm};
    if (options.Live) {
        options.Live->Session.Home = home;
        return RunLive(*options.Live, out, err);
    }
    if (options.Replay) {
        options.Replay->Session.Home = home;
        return RunReplay(*options.Replay, out, err);
    }
    if (options.Batch) {
        return RunBatch(options, in, out, err);
    }
    return options.SpotLine ? RunSpot(options, out, err) : RunSingle(options, out, err);
}

} // namespace ionvane::cli
