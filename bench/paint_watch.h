// The live window's paints watched from its own process: how soon the map answers a key, and how
// old the newest report the spot list shows is each time it is painted.
#pragma once

#include <QEvent>
#include <QObject>

#include <ctime>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace ionvane::bench {

/// The monotonic clock, which every process on the machine shares, s.
inline double MonotonicSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The map's paints after a key: the first after the key was handled ends its answer.
class KeyWatch : public QObject {
  public:
    std::mutex Lock;
    std::vector<double> PostedAt; ///< monotonic s, one per key posted
    std::vector<double> Answers;  ///< s from posting to the end of the map's repaint
    std::size_t Handled = 0;
    bool Pending = false;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress) {
            Pending = true;
        } else if (event->type() == QEvent::Paint && Pending) {
            // Painted here so that the time taken includes the repaint itself.
            watched->event(event);
            const double now = MonotonicSeconds();
            std::lock_guard guard(Lock);
            if (Handled < PostedAt.size()) {
                Answers.push_back(now - PostedAt[Handled++]);
            }
            Pending = false;
            return true;
        }
        return false;
    }
};

// The spot list's paints: the age of the newest report it shows, and the reports it shows.
class ListWatch : public QObject {
  public:
    ListWatch(const long &shown, std::function<double(long)> ageOf)
        : Shown(shown), AgeOf(std::move(ageOf)) {}
    std::vector<double> Ages;
    std::vector<long> ShownAt;

  protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && Shown > 0) {
            Ages.push_back(AgeOf(Shown - 1));
            ShownAt.push_back(Shown);
        }
        return false;
    }

  private:
    const long &Shown;
    std::function<double(long)> AgeOf;
};

} // namespace ionvane::bench
