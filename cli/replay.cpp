#include "replay.h"

#include "batch_reader.h"
#include "feed/capture_line.h"
#include "history/recorder.h"
#include "history/source_lines.h"
#include "spot_events.h"
#include "tracker/capture.h"
#include "tracker_events.h"

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
// bytes) past MaxPayloadBytes.
constexpr std::size_t MaxClusterLineBytes = 4096;
constexpr std::size_t MaxFeedLineBytes =
    5 + 3 * feed::MaxTopicBytes + 1 + feed::MaxPayloadBytes + 4;
constexpr std::size_t MaxCaptureLineBytes = 21 + std::max(MaxClusterLineBytes, MaxFeedLineBytes);
// A replay recorded in a store commits every this many lines: a replay can be run again, so it
// need not pay for a commit per line as a live session does.
constexpr int ReplayLinesPerCommit = 1000;
// Output is written in pieces of about this size, not per event: a replay is not live.
constexpr std::size_t OutputChunkBytes = 1 << 16;

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
    void Events(std::vector<tracker::TrackerEvent> &events) {
        for (const auto &event : events) {
            Line(TrackerEventJson(event));
        }
        events.clear();
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
    tracker::SpotPipeline pipeline(tracker::SpotCalculator(options.Format, options.Home),
                                   options.Tracker, options.AnyMode);
    std::optional<history::HistoryStore> store;
    if (options.HistoryFile) {
        store.emplace(QString::fromStdString(*options.HistoryFile),
                      QDateTime::currentSecsSinceEpoch(), history::DefaultRetentionDays,
                      ReplayLinesPerCommit);
        if (!store->Message().empty()) {
            err << "ionvane-cli: " << store->Message() << '\n';
        }
    }
    EventPrinter printer(out);
    history::SourceLines sources;
    std::vector<tracker::TrackerEvent> events;
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
        const auto line = tooLong ? std::nullopt : tracker::ReadCaptureLine(text);
        if (!line) {
            ++notCapture;
            continue;
        }
        // The ageing the line's time brings comes before what the line itself brings.
        pipeline.Tick(line->Time, events);
        printer.Events(events);
        const history::SourceLine read = sources.Feed(pipeline, line->Time, line->Line, events);
        const tracker::LineResult &result = read.Result;
        // A feed report's events carry its receipt time, as the live session writes them; its
        // spot's own time may lie ahead of it.
        const tracker::UnixSeconds time =
            read.From == history::LineSource::Feed ? line->Time : pipeline.Clouds().Now();
        if (result.What == tracker::LineResult::Kind::Spot) {
            printer.Line(SpotEventJson(time, line->Line, result));
        } else if (result.What == tracker::LineResult::Kind::Skipped) {
            printer.Line(SkippedEventJson(time, line->Line, result.Reason));
        }
        if (store) {
            history::Record(*store, line->Time, line->Line, result, events);
        }
        printer.Events(events);
    }
    printer.Flush();
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
