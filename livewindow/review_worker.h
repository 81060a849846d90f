// The evening in review's own thread: the history store is read and replayed there, never on the
// window's, which a busy store's first read (seconds of it) would freeze. Results come back to
// the window's thread as queued calls; of the moments asked for, the newest wins and those it
// overtook are dropped unreplayed.
#pragma once

#include "review/review_control.h"

#include <QThread>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>

namespace ionvane::livewindow {

class ReviewWorker {
  public:
    /// Runs `review`, which it owns, on a thread of its own; the results are handed to `receiver`'s
    /// thread, and dropped when `receiver` is gone by then.
    ReviewWorker(std::unique_ptr<review::ReviewControl> review, QObject *receiver);
    /// Asks a read under way to stop and waits for the thread to end.
    ~ReviewWorker();
    ReviewWorker(const ReviewWorker &) = delete;
    ReviewWorker &operator=(const ReviewWorker &) = delete;

    /// Reads what came since the last read; every read asked for is made, in turn.
    void Load(review::UnixSeconds now, int hours,
              std::function<void(const review::ReviewSpan &)> done);
    /// The moment at `time`, after the reads asked for before; dropped when another is asked for
    /// before its replay begins.
    void At(review::UnixSeconds time, std::function<void(const review::ReviewMoment &)> done);
    /// Drops the moments asked for and not handed back yet.
    void DropMoments() { ++Shared->Asked; }

  private:
    /// Runs `work` on the thread, after what was asked before.
    void Post(std::function<void()> work);

    std::unique_ptr<review::ReviewControl> Review;
    QObject *Receiver;
    std::stop_source Stop;
    /// Held too by the results on their way, which may arrive after the worker is gone.
    struct State {
        /// The number of the newest moment asked for: a replay of an older one is not begun.
        std::atomic<std::uint64_t> Asked{0};
        /// Set as the worker goes: its results on their way are dropped.
        std::atomic<bool> Gone{false};
    };
    std::shared_ptr<State> Shared = std::make_shared<State>();
    QThread Thread;
    /// Lives on the thread: what is posted to it runs there.
    std::unique_ptr<QObject> Context;
};

} // namespace ionvane::livewindow
