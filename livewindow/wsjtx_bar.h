// The live window's box for the user's own WSJT-X: where to listen, whether recordings count, a
// button to listen or stop, and the state in words, refreshed every second ("WSJT-X 2.6.1 on
// 50.313 MHz FT8, last decode 12 s ago", "No WSJT-X heard for 60 s"). It owns the source while it
// listens and hands every datagram on; the address, the tick box and whether it listened are kept
// in the window's settings.
#pragma once

#include "wsjtx/wsjtx_source.h"

#include <QGroupBox>
#include <QPointer>
#include <QTimer>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;

namespace ionvane::livewindow {

class WsjtxBar : public QGroupBox {
    Q_OBJECT

  public:
    /// `stored` (the window's settings) must outlive the bar; `homeLocator` stands for the station
    /// when WSJT-X gives no grid. Listens at once when it did when the window last closed.
    WsjtxBar(QSettings &stored, wsjtx::SourceEnvironment environment, std::string homeLocator,
             QWidget *parent = nullptr);
    ~WsjtxBar() override;
    WsjtxBar(const WsjtxBar &) = delete;
    WsjtxBar &operator=(const WsjtxBar &) = delete;

    [[nodiscard]] bool Recordings() const;
    /// Starts listening at the address in the box; says why not when it cannot.
    void Listen();
    void StopListening();

  signals:
    /// A datagram read (a spot, a skipped decode or news of WSJT-X).
    void datagram(const ionvane::wsjtx::WsjtxEvent &event);
    void recordingsToggled(bool recordings);

  private:
    void SourceEvent(const wsjtx::WsjtxEvent &event);
    void ShowWords();
    void ShowListening(bool listening);

    QSettings &Stored;
    wsjtx::SourceEnvironment Environment;
    std::string HomeLocator;
    QPointer<wsjtx::WsjtxSource> Source;
    wsjtx::Seconds ListeningSince{};
    QTimer Words;
    QLineEdit *txtWsjtx = nullptr;
    QCheckBox *chkWsjtxRecordings = nullptr;
    QPushButton *cmdWsjtxListen = nullptr;
    QLabel *lblWsjtxState = nullptr;
};

} // namespace ionvane::livewindow
