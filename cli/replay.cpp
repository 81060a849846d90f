#include "replay.h"

#include "alarm_options.h"
#include "batch_reader.h"
#include "live_json.h"

#include "feed/capture_body.h"
#include "history/history_store.h"
#include "live/live_core.h"
#include "spot/capture_line.h"
#include "wsjtx/capture_text.h"

#include <QDateTime>

#include "calc/ascii.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace ionvane::cli {

namespace {

// A capture line: the 20-character time, a tab, and a received line of at most the 4 KiB a
// cluster session keeps of one line, or a feed report: "MQTT ", a topic of at most MaxTopicBytes
// (each byte written as %XX at worst), a blank, and a payload cut one UTF-8 character (at most 4
// bytes) past MaxPayloadBytes, or a WSJT-X datagram.
constexpr std::size_t MaxClusterLineBytes = 4096;
constexpr std::size_t MaxFeedLineBytes =
    5 + 3 * feed::MaxTopicBytes + 1 + feed::MaxPayloadBytes + 4;
constexpr std::size_t MaxCaptureLineBytes =
    21 + std::max({MaxClusterLineBytes, MaxFeedLineBytes, wsjtx::MaxCaptureBodyBytes});
// A replay recorded in a store commits every this many lines: a replay can be run again, so it
// need not pay for a commit per line as a live session does.
constexpr int ReplayLinesPerCommit = 1000;
// Output is written in pieces of about this size, not per event: a replay is not live.
constexpr std::size_t OutputChunkBytes = 1 << 16;
// After the capture, the alarm outlets have this long to finish, ms: a hook's 10 s and its 2 s to
// end, and a little for the last post and the rotator's answer.
constexpr int OutletsLongestMs = 15'000;

class EventPrinter {
  public:
    explicit EventPrinter(std::ostream &out) : Out(out) { Buffer.reserve(OutputChunkBytes * 2); }
    ~EventPrinter() { Flush(); }
    EventPrinter(const EventPrinter &) = delete;
    EventPrinter &operator=(const EventPrinter &) = delete;

    void Line(const std::string &json) {
        Buffer += json;
        Buffer += '\n';
        if (Buffer.size() >= OutputChunkBytes) {
            Flush();
        }
    }
    void Flush() {
        Out << Buffer;
        Out.flush();
        Buffer.clear();
    }

  private:
    std::ostream &Out;
    std::string Buffer;
};

} // namespace

int RunReplay(const ReplayOptions &options, std::ostream &out, std::ostream &err) {
    const std::string shown = calc::OneLineText(options.CaptureFile);
    // A directory opens as a file and fails at its first read.
    std::error_code notADirectory;
    if (std::filesystem::is_directory(options.CaptureFile, notADirectory)) {
        err << "ionvane-cli: cannot read the capture " << shown << ": it is a directory\n";
        return 1;
    }
    std::ifstream file(options.CaptureFile, std::ios::binary);
    if (!file) {
        err << "ionvane-cli: cannot read the capture " << shown << ": " << std::strerror(errno)
            << '\n';
        return 1;
    }
    std::optional<history::HistoryStore> store;
    if (options.HistoryFile) {
        store.emplace(QString::fromStdString(*options.HistoryFile),
                      QDateTime::currentSecsSinceEpoch(), history::DefaultRetentionDays,
                      ReplayLinesPerCommit);
    }
    live::CoreSetup setup = CoreSetupOf(options.Session, err);
    setup.NowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
    setup.Store = store ? &*store : nullptr;
    live::LiveCore core(std::move(setup));
    core.SetWsjtxRecordings(options.WsjtxRecordings);
    EventPrinter printer(out);
    const std::unique_ptr<alarm::AlarmDeliveries> outlets =
        StartOutlets(options.Session.Outlets, err);
    if (outlets) {
        core.Subscribe(outlets.get(),
                       [&outlets](const live::LiveEvent &event) { outlets->Take(event); });
    }
    std::optional<MufMapLines> mufMap;
    if (options.Session.MufMap) {
        // Heard before the events are written: a map due before a line comes before its events.
        mufMap.emplace(*options.Session.MufMap,
                       [&](const std::string &line) { printer.Line(line); });
        core.Subscribe(&core, [&](const live::LiveEvent &event) { mufMap->Take(event); });
    }
    core.Subscribe(&core, [&](const live::LiveEvent &event) {
        LiveEventLines(event, SpotInResult::Left,
                       [&](const std::string &line) { printer.Line(line); });
        if (const auto *problem = std::get_if<live::StoreProblem>(&event)) {
            err << "ionvane-cli: " << problem->Message << '\n';
        }
    });
    // Recorded into, not read back: a replay is no live session.
    core.UseStore();
    // What WSJT-X would be asked to colour, printed after the event that brought it.
    const auto highlights = FollowHighlights(options.Session.Outlets.Highlight, core,
                                             [&](tracker::UnixSeconds time, const auto &request) {
                                                 printer.Line(HighlightEventJson(time, request));
                                             });

    LineReader reader(file, MaxCaptureLineBytes);
    std::string text;
    bool tooLong = false;
    long long notCapture = 0;
    for (;;) {
        try {
            if (!reader.Next(text, tooLong)) {
                break;
            }
        } catch (const std::ios_base::failure &) {
            // An error under the file buffer (EIO): it throws rather than setting badbit.
            file.setstate(std::ios::badbit);
            break;
        }
        const auto line = tooLong ? std::nullopt : spot::ReadCaptureLine(text);
        if (!line) {
            ++notCapture;
            continue;
        }
        core.CaptureLine(line->Time, line->Line);
    }
    if (mufMap) {
        mufMap->Finish();
    }
    if (highlights) {
        highlights->Finish(0);
    }
    printer.Flush();
    if (outlets) {
        FinishOutlets(*outlets, OutletsLongestMs);
    }
    // A replay into a store that says nothing of the lines it did not record would seem complete.
    if (store && !store->IsWritable()) {
        // Read-only, locked by another program at start, or none at all: said as it opened.
        err << "ionvane-cli: nothing of " << shown << " was recorded in the history store "
            << calc::OneLineText(*options.HistoryFile) << '\n';
        return 1;
    }
    // The last lines held back for one commit, then the count of every line a failed write or
    // commit lost.
    if (store && (!store->Finish() || store->LostLines() > 0)) {
        err << "ionvane-cli: " << store->LostLines() << " line"
            << (store->LostLines() == 1 ? "" : "s") << " of " << shown
            << " could not be recorded in the history store "
            << calc::OneLineText(*options.HistoryFile) << " ("
            << calc::OneLineText(store->LastWriteError()) << ")\n";
        return 1;
    }
    if (file.bad()) {
        err << "ionvane-cli: reading the capture " << shown << " failed\n";
        return 1;
    }
    if (notCapture > 0) {
        err << "ionvane-cli: " << notCapture << " line" << (notCapture == 1 ? "" : "s") << " of "
            << shown << " passed over: not TIME<TAB>LINE\n";
    }
    return 0;
}

} // namespace ionvane::cli
