// What the live window tests share: the opening's capture on its own clock, a configuration
// directory of their own, and an alarm outlet that counts what reached the desktop.
#pragma once

#include "cluster/cluster_settings.h"
#include "feed/feed_event.h"
#include "history/history_store.h"
#include "live/live_core.h"
#include "livewindow/band_panel.h"
#include "livewindow/connection_words.h"
#include "livewindow/live_window.h"
#include "spot/capture_line.h"
#include "tests/fakenode/fake_node.h"
#include "tests/map/user_view.h"
#include "window/locale_format.h"
#include "window/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <memory>

using namespace ionvane;
using livewindow::frmLive;

// Named, not anonymous: the live window's test class, spread over two files, derives from the
// fixture.
namespace live_window_test {

// Counts what reached the desktop.
class FakeOutlet : public livewindow::AlarmOutlet {
  public:
    void Notify(const QString &title, const QString &text) override {
        Notes << title + " | " + text;
    }
    void Beep() override { ++Beeps; }
    void TurnBeamTo(double azimuthDeg) override { Turns.push_back(azimuthDeg); }
    QStringList Notes;
    int Beeps = 0;
    std::vector<double> Turns; ///< "Turn beam", degrees
};

class SilentDialogs : public window::Dialogs {
  public:
    void OpenOver(QWidget * /*window*/) override {}
    void ShowMessage(const QString &text, const QString & /*title*/, Icon /*icon*/) override {
        Messages << text;
    }
    QString AskText(const QString & /*prompt*/, const QString & /*title*/) override { return {}; }
    QStringList Messages;
};

struct CaptureRow {
    tracker::UnixSeconds Time;
    std::string Line;
};

inline std::vector<CaptureRow> ReadCapture() {
    QFile file(IONVANE_TEST_DATA "/opening.capture");
    std::vector<CaptureRow> rows;
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    while (!file.atEnd()) {
        const std::string text = file.readLine().trimmed().toStdString();
        if (const auto line = spot::ReadCaptureLine(text)) {
            rows.push_back({line->Time, std::string(line->Line)});
        }
    }
    return rows;
}

// 2026-06-14T10:00:00Z, the first line of the capture.
constexpr tracker::UnixSeconds CaptureStart = 1781431200;

// The capture, the clock and the places of one test; a test class holds one and calls InitCase
// and Init from its own slots.
class LiveWindowFixture {
  protected:
    std::unique_ptr<QTemporaryDir> ConfigDir;
    FakeOutlet Outlet;
    tracker::UnixSeconds Now = CaptureStart;
    std::vector<CaptureRow> Capture;

    /// The core the window made last, fed by hand as its sources would.
    live::LiveCore *Fed = nullptr;

    // `store`: the one the window's cores record into and read back (null: none).
    livewindow::LiveWindowSetup Setup(history::HistoryStore *store = nullptr) {
        livewindow::LiveWindowSetup setup;
        setup.ConfigDir = ConfigDir->path();
        setup.Home = window::Settings{"IO90IR", 110.0F, 0.15F, "IO90IR"};
        setup.Format = window::NumberFormatOf(QLocale::c());
        setup.OpenCore = [this, store](live::CoreSetup core) {
            core.Store = store;
            auto made = std::make_unique<live::LiveCore>(std::move(core));
            Fed = made.get();
            return made;
        };
        setup.NowUtc = [this] { return Now; };
        setup.Outlet = &Outlet;
        // No land: these tests look at the tables and panels, not at the map.
        setup.Outlines = std::make_shared<const map::WorldOutlines>();
        // Each change shown at once; one test gathers them as the program does.
        setup.RefreshIntervalMs = 0;
        return setup;
    }

    // A session of the window's home without a window.
    live::CoreSetup CoreSetup() {
        live::CoreSetup setup;
        setup.Format = window::NumberFormatOf(QLocale::c());
        setup.Home = tracker::HomeSettings{"IO90IR", 110.0F, 0.15F};
        setup.NowUtc = [this] { return Now; };
        return setup;
    }

    // A session of the window's home without a window, and its core fed by hand.
    struct BareSession {
        std::unique_ptr<livewindow::SpotRowCache> Session;
        live::LiveCore *Core = nullptr;
        livewindow::SpotRowCache *operator->() const { return Session.get(); }
    };
    BareSession NewSession() {
        BareSession bare{std::make_unique<livewindow::SpotRowCache>()};
        auto core = std::make_unique<live::LiveCore>(CoreSetup());
        bare.Core = core.get();
        bare.Session->Attach(std::move(core));
        return bare;
    }

    // The core of the window made last.
    live::LiveCore &Core() { return *Fed; }

    // Feeds the capture's lines [first, last) as the cluster session hands them over.
    void Replay(std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last && i < Capture.size(); ++i) {
            Now = Capture[i].Time;
            Core().ClusterLine(Capture[i].Time, Capture[i].Line);
        }
    }

    static QString Cell(QTableView *table, int row, int column) {
        return table->model()->index(row, column).data().toString();
    }

    static QString BandRow(frmLive &live, const char *band) {
        return live.findChild<QPushButton *>(QString("cmdBand") + band)->text();
    }

    void InitCase() {
        Capture = ReadCapture();
        QCOMPARE(Capture.size(), std::size_t{6});
        QCOMPARE(Capture.front().Time, CaptureStart);
    }

    void Init() {
        ConfigDir = std::make_unique<QTemporaryDir>();
        Outlet = FakeOutlet();
        Now = CaptureStart;
        Fed = nullptr;
    }
};

} // namespace live_window_test

using namespace live_window_test;
