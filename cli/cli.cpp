#include "cli.h"

#include "batch_run.h"
#include "command_line_options.h"
#include "live_command.h"
#include "replay.h"
#include "single_run.h"

#include "command/calculate_command.h"
#include "window/settings_file.h"

#include <istream>
#include <ostream>
#include <variant>

namespace ionvane::cli {

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
