// A stand-in for a live session, for the crash test: feeds the lines of a capture to the tracker
// and records each in a history store, writes one byte to stdout after each line, and after LINES
// lines waits to be killed.
//
//   ionvane_history_writer STORE CAPTURE LINES
#include "history/recorder.h"
#include "spot/capture_line.h"

#include <QCoreApplication>

#include <fstream>
#include <string>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        return 2;
    }
    std::ifstream capture(argv[2]);
    const long wanted = std::stol(argv[3]);
    std::vector<ionvane::spot::CapturedLine> lines;
    std::vector<std::string> texts;
    for (std::string text; std::getline(capture, text);) {
        texts.push_back(text);
    }
    using namespace ionvane;
    tracker::SpotPipeline pipeline(
        tracker::SpotCalculator(calc::PlainNumberFormat(), {"IO90IR", 110.0F, 0.15F}), {}, false);
    const auto first = spot::ReadCaptureLine(texts.at(0));
    history::HistoryStore store(QString::fromLocal8Bit(argv[1]), first->Time);
    std::vector<tracker::TrackerEvent> events;
    long done = 0;
    for (const std::string &text : texts) {
        if (done == wanted) {
            break;
        }
        const auto line = spot::ReadCaptureLine(text);
        const auto result = pipeline.Feed(line->Time, line->Line, events);
        history::Record(store, line->Time, line->Time, line->Line, result, events);
        events.clear();
        ++done;
        if (write(STDOUT_FILENO, ".", 1) != 1) {
            return 1;
        }
    }
    if (done < wanted) {
        return 3; // the capture is shorter than asked: end, so the waiting test sees it
    }
    for (;;) {
        pause();
    }
}
