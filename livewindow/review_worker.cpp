#include "review_worker.h"

namespace ionvane::livewindow {

ReviewWorker::ReviewWorker(std::unique_ptr<review::ReviewControl> review, QObject *receiver)
    : Review(std::move(review)), Receiver(receiver), Context(std::make_unique<QObject>()) {
    Thread.setObjectName("ionvane-review");
    Context->moveToThread(&Thread);
    Thread.start(QThread::LowPriority);
}

ReviewWorker::~ReviewWorker() {
    Shared->Gone = true;
    Stop.request_stop();
    Thread.quit();
    Thread.wait();
    // What was posted and not run is deleted with the context, unrun; the review is used by
    // nothing any more.
    Context.reset();
}

void ReviewWorker::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(Context.get(), std::move(work), Qt::QueuedConnection);
}

void ReviewWorker::Load(review::UnixSeconds now, int hours,
                        std::function<void(const review::ReviewSpan &)> done) {
    Post([this, now, hours, done = std::move(done)] {
        review::ReviewSpan span = Review->Load(now, hours, Stop.get_token());
        if (Stop.stop_requested()) {
            return;
        }
        QMetaObject::invokeMethod(
            Receiver,
            [shared = Shared, done, span = std::move(span)] {
                if (!shared->Gone) {
                    done(span);
                }
            },
            Qt::QueuedConnection);
    });
}

void ReviewWorker::At(review::UnixSeconds time,
                      std::function<void(const review::ReviewMoment &)> done) {
    const std::uint64_t number = ++Shared->Asked;
    Post([this, time, number, done = std::move(done)] {
        if (number != Shared->Asked || Stop.stop_requested()) {
            return;
        }
        review::ReviewMoment moment = Review->At(time);
        // A newer one asked for during the replay, on its way, is shown instead.
        QMetaObject::invokeMethod(
            Receiver,
            [shared = Shared, number, done, moment = std::move(moment)] {
                if (!shared->Gone && number == shared->Asked) {
                    done(moment);
                }
            },
            Qt::QueuedConnection);
    });
}

} // namespace ionvane::livewindow
