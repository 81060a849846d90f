#include "command_line_options.h"

#include "alarm_options.h"
#include "muf_map_options.h"
#include "option_number.h"
#include "tracker_options.h"

#include "calc/ascii.h"
#include "ionvane/version.h"
#include "window/locale_format.h"

#include <QCommandLineParser>
#include <QLocale>

namespace ionvane::cli {

namespace {

std::string Utf8(const QString &text) {
    return text.toStdString();
}

} // namespace

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
    parser.addOptions(PlaceOptionList());
    parser.addOptions(LiveSessionOptions());
    parser.addOptions(AlarmOptions());
    parser.addOptions(MufMapOptions());
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
        options.Input = command::CalculateInput{Utf8(parser.value(from)), Utf8(parser.value(to)),
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
    alarm::DeliverySettings outlets;
    if (const std::string problem = ReadAlarmOptions(
            parser, options.Replay.has_value() || options.Live.has_value(), outlets);
        !problem.empty()) {
        return UsageError{problem};
    }
    if (const std::string problem = ReadMufMapOptions(
            parser, options.Replay ? &options.Replay->MufMap
                                   : (options.Live ? &options.Live->MufMap : nullptr));
        !problem.empty()) {
        return UsageError{problem};
    }
    if (options.Replay) {
        ReplayOptions &r = *options.Replay;
        r.Outlets = outlets;
        r.Format = options.Format;
        r.AnyMode = options.AnyMode;
        r.WsjtxRecordings = parser.isSet("wsjtx-recordings");
        if (const std::string problem = ReadTrackerOptions(parser, r.Tracker); !problem.empty()) {
            return UsageError{problem};
        }
        r.Places = ReadPlaceOptions(parser);
        if (parser.isSet(history) && parser.value(history) != "none") {
            r.HistoryFile = Utf8(parser.value(history));
        }
    }
    if (options.Live) {
        LiveOptions &l = *options.Live;
        l.Outlets = outlets;
        l.Format = options.Format;
        l.AnyMode = options.AnyMode;
        if (const std::string problem = ReadTrackerOptions(parser, l.Tracker); !problem.empty()) {
            return UsageError{problem};
        }
        l.HistoryPath = parser.value(history);
        l.Places = ReadPlaceOptions(parser);
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

} // namespace ionvane::cli
