// Ionvane Live: the DX cluster and the PSK Reporter feed on one screen, the Es clouds on a map
// centred on home, a verdict for each band, the cloud table, the newest spots and the alarm.
#pragma once

#include "alarm_outlet.h"
#include "band_panel.h"
#include "cloud_table_model.h"
#include "connection_words.h"
#include "live_settings.h"
#include "review_bar.h"
#include "spot_list_model.h"
#include "spot_row_cache.h"

#include "map/map_view.h"
#include "window/settings_file.h"
#include "wsjtx_bar.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QSplitter;
class QTableView;
class QThread;
class QTimer;

namespace ionvane::livewindow {

/// How often at most the tables, the band panel and the map show what arrived, ms: four times a
/// second reads as live, where the feed can bring a thousand reports a second and each repaint
/// of the map and the tables costs milliseconds.
constexpr int DefaultRefreshIntervalMs = 250;

/// What the live window is given: its places, the home station, the clocks and the outlets.
struct LiveWindowSetup {
    /// Where cluster.conf, the password file and live.ini (geometry, splitters, feed and alarm
    /// settings) are kept.
    QString ConfigDir;
    window::Settings Home;
    calc::NumberFormat Format;
    tracker::TrackerSettings Tracker;
    /// Makes the session's core: the sources, the store and the tracker. The window opens it
    /// once it listens; what the user should know about the store's opening (moved aside, not
    /// opened) is shown in the status bar.
    live::OpenCore OpenCore;
    /// Makes the review of the history store under the map's slider; null: none.
    review::OpenReview OpenReview;
    /// The core is made once the window has been drawn, not at once: its libraries do not delay
    /// the window's first look.
    bool CoreOnceDrawn = false;
    std::function<UnixSeconds()> NowUtc;
    AlarmOutlet *Outlet = nullptr;
    /// The land and borders; read from the program's own outlines in a worker, once the window
    /// has been drawn, when null.
    std::shared_ptr<const map::WorldOutlines> Outlines;
    /// Changes are gathered and shown at most this often, ms; 0 shows each change at once.
    int RefreshIntervalMs = DefaultRefreshIntervalMs;
    /// Asks the user for a line of text (prompt, title, text to start from); an empty answer
    /// changes nothing. Null: a QInputDialog.
    std::function<QString(const QString &, const QString &, const QString &)> AskText;
    /// Asks where to save a picture (the dialog's title); empty: not saved. Null: a file dialog.
    std::function<QString(const QString &)> AskSavePath;
};

/// Where the map is centred for `homeLocator`: its subsquare's centre, or the calculator's filler
/// for a locator it refuses.
map::GeoPoint HomeOf(const std::string &homeLocator);

/// The window's own title, before the highest possible band is added to it.
inline constexpr const char *LiveTitle = "Ionvane Live";

// NOLINTNEXTLINE(readability-identifier-naming): named like the main window, frmMUF.
class frmLive : public QMainWindow {
    Q_OBJECT

  public:
    explicit frmLive(LiveWindowSetup setup, QWidget *parent = nullptr);
    ~frmLive() override;

    [[nodiscard]] SpotRowCache &Session() { return *Live; }
    /// What the window shows: the live session, or the past one while the slider is back.
    [[nodiscard]] SpotRowCache &Shown() { return Past ? *Past : *Live; }
    [[nodiscard]] const SpotRowCache &Shown() const { return Past ? *Past : *Live; }
    /// The cloud marked on the map: the one selected in the cloud table.
    [[nodiscard]] std::optional<int> HighlightedCloudId() const { return HighlightedCloud; }
    /// Saves geometry, splitters and settings (also done on close).
    void SaveState();
    /// The map as File > Save map picture writes it: the map with its layer, legends, home and
    /// time over the band rows, at the window's size and scale.
    [[nodiscard]] QImage MapPicture();
    /// The home station as the window uses it.
    [[nodiscard]] const window::Settings &Home() const { return Setup.Home; }
    /// Takes a home set elsewhere (the calculator): the map, the distances and the band verdicts
    /// follow it at once. Says nothing back.
    void SetHome(const window::Settings &home);

  signals:
    /// The home was changed in this window's menu.
    void homeChanged(const ionvane::window::Settings &home);
    /// File > Calculator.
    void calculatorRequested();
    /// File > Exit: the program ends (a window on its own just closes).
    void exitRequested();
    /// A cloud was double-clicked: its best spot, for the calculator's From, To and Frequency
    /// (`freqMHzText` with a point, "144.174").
    void spotChosen(const QString &fromLoc, const QString &toLoc, const QString &freqMHzText);
    /// The program's own outlines have been read and handed to the map (only when the setup
    /// brought none).
    void outlinesRead();
    /// The window has been drawn for the first time (or a second has passed since it was shown
    /// without a frame): what it does not need for its first look can start now. Emitted once.
    void firstFrameDrawn();

  protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void ReadOutlinesOnceDrawn();
    void AttachCore();
    /// A review made for the home and settings of the core just attached.
    void AttachReview();
    /// The home as the core and the review are set up with it.
    [[nodiscard]] tracker::HomeSettings TrackerHome() const;
    QWidget *BuildReviewBar(QWidget *parent);
    /// A moment of the past in the tables, the band panel and the map; live meanwhile goes on.
    void ShowPast(const review::ReviewMoment &moment);
    /// A new core for a new home, the sources that were running started again.
    void ReopenCore();
    void BuildMenu();
    /// File > Save map picture and Copy map picture; View > Es MUF layer and its window
    /// (map_picture.cpp).
    void BuildMapMenu(QMenu *file, QMenu *view);
    /// The Es MUF layer for the map as the View menu asks for it; none when switched off.
    [[nodiscard]] std::optional<map::MufLayerScene> MufLayerNow() const;
    /// The map's palette as the View menu and the desktop say.
    void ApplyMapTheme();
    void AskHomeLocator();
    void AskEsLayerHeight();
    void AskMasl();
    /// The home changed in this window: shown, and told to the calculator.
    void HomeSetHere(window::Settings home);
    QString Ask(const QString &prompt, const QString &title, const QString &current);
    /// The session's core, or null, said in `state`, until the window has been drawn.
    live::CoreControl *CoreFor(QLabel *state);
    QWidget *BuildClusterBar();
    QWidget *BuildFeedBar();
    QWidget *BuildSpotList();
    /// The window's remembered state read back (live_window_state.cpp, with SaveState).
    void RestoreState();
    void RefreshSoon();
    void Refresh();
    void RefreshMap();
    void ShowAlarm(const tracker::AlarmEvent &alarm);
    void AcknowledgeAlarm();
    /// The banner's words for the alarm shown, as its band stands now.
    void ShowBanner();
    /// The banner across the top of the map.
    void PlaceBanner();
    /// "Turn beam" on the banner and on the band rows, through the alarm outlet.
    void BuildTurnBeam();
    void ClusterConnectClicked();
    void FeedConnectClicked();
    void Heard(const live::LiveEvent &event);
    /// `ended`: the source has ended for good, as the core decided.
    void ClusterChanged(const cluster::ConnectionEvent &event, bool ended);
    void FeedChanged(const feed::FeedEvent &event, bool ended);
    void CloudSelected();
    void CloudActivated(const QModelIndex &index);
    [[nodiscard]] std::optional<int> SelectedCloudId() const;

    LiveWindowSetup Setup;
    LiveSettings Remembered;
    map::GeoPoint HomePoint;
    std::unique_ptr<SpotRowCache> Live;
    /// The session of the moment the review shows; null when live.
    std::unique_ptr<SpotRowCache> Past;
    ReviewBar *reviewBar = nullptr;
    QString ClusterHost;

    QLineEdit *txtClusterHost = nullptr;
    QSpinBox *spnClusterPort = nullptr;
    QLineEdit *txtCall = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtCommands = nullptr;
    QPushButton *cmdClusterConnect = nullptr;
    QCheckBox *chkClusterAtStart = nullptr;
    QCheckBox *chkFeedAtStart = nullptr;
    ConnectionMemory ClusterMemory;
    ConnectionMemory FeedMemory;
    QLabel *lblClusterState = nullptr;
    QLineEdit *txtBroker = nullptr;
    std::array<QCheckBox *, spot::BandCount> chkFeedBands{};
    QPushButton *cmdFeedConnect = nullptr;
    QLabel *lblFeedState = nullptr;
    WsjtxBar *wsjtxBar = nullptr;
    QPushButton *cmdAlarm = nullptr;
    QPushButton *cmdTurnBeam = nullptr; ///< on the banner, at its right end
    QAction *actAcknowledge = nullptr;
    QSplitter *splitMain = nullptr;
    QSplitter *splitSide = nullptr;
    map::MapView *mapView = nullptr;
    BandPanel *bandPanel = nullptr;
    CloudTableModel *Clouds = nullptr;
    QSortFilterProxyModel *CloudsSorted = nullptr;
    QTableView *tblClouds = nullptr;
    SpotListModel *SpotsModel = nullptr;
    QComboBox *cmbSpotBand = nullptr;
    QComboBox *cmbSpotSource = nullptr;
    QTableView *tblSpots = nullptr;
    std::optional<int> HighlightedCloud;
    /// The alarm the banner shows, until acknowledged.
    std::optional<tracker::AlarmEvent> Alarm;
    /// Runs out when the changes gathered since the last refresh are to be shown.
    QTimer *RefreshTimer = nullptr;
    /// Runs out when a new home has stopped changing: the core is made again for it.
    QTimer *HomeSettled = nullptr;
    /// Reads the program's outlines once the window is drawn; null when the setup brought them.
    QThread *OutlinesReader = nullptr;
    bool FirstFrameDone = false;
    /// The sources started when the core comes: those marked "At start", or those running when a
    /// new home asked for a new core.
    bool StartCluster = false;
    bool StartFeed = false;
    void FirstFrame();
};

} // namespace ionvane::livewindow
