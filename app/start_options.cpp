#include "start_options.h"

#include "ionvane/version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <vector>

namespace ionvane::app {

namespace {

// One row for each option; the help text is made from these rows, since QCommandLineParser's own
// needs a QApplication and with it a display.
struct OptionRow {
    QStringList Names;
    const char *Description;
};

const std::vector<OptionRow> &OptionRows() {
    static const std::vector<OptionRow> rows{
        {{"h", "help"}, "Displays help on commandline options."},
        {{"v", "version"}, "Displays version information."},
        {{"live"}, "Opens the live window (DX cluster, feed, Es clouds on a map) at start."},
    };
    return rows;
}

QString NamesText(const QStringList &names) {
    QStringList dashed;
    for (const QString &name : names) {
        dashed << (name.size() == 1 ? "-" : "--") + name;
    }
    return dashed.join(", ");
}

std::string HelpText() {
    int width = 0;
    for (const OptionRow &row : OptionRows()) {
        width = std::max(width, static_cast<int>(NamesText(row.Names).size()));
    }
    QString text = "Usage: ionvane [options]\n"
                   "Sporadic-E MUF and try-towards calculator: the window.\n\n"
                   "Options:\n";
    for (const OptionRow &row : OptionRows()) {
        text += "  " + NamesText(row.Names).leftJustified(width) + "  " + row.Description + '\n';
    }
    text += "\nQt's standard options, such as -platform NAME, are taken as well.\n";
    return text.toStdString();
}

} // namespace

StartRequest ReadStartOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    for (const OptionRow &row : OptionRows()) {
        parser.addOption(QCommandLineOption(row.Names, row.Description));
    }
    if (!parser.parse(arguments)) {
        return {StartRequest::Kind::UsageError, parser.errorText().toStdString()};
    }
    if (parser.isSet("help")) {
        return {StartRequest::Kind::Answer, HelpText()};
    }
    if (parser.isSet("version")) {
        return {StartRequest::Kind::Answer, std::string("ionvane ") + Version + '\n'};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {StartRequest::Kind::UsageError,
                "unexpected argument: " + parser.positionalArguments().front().toStdString()};
    }
    StartRequest request;
    request.Live = parser.isSet("live");
    return request;
}

} // namespace ionvane::app
