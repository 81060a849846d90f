// The live window's box for the user's own WSJT-X: where to listen, whether recordings count, a
// button to listen or stop, and the state in words, refreshed every second ("WSJT-X 2.6.1 on
// 50.313 MHz FT8, last decode 12 s ago", "No WSJT-X heard for 60 s"). The live core runs the
// source; the address, the tick box and whether it listened are kept in the window's settings.
#pragma once

#include "live/core_control.h"
#include "live_settings.h"

#include <QGroupBox>
#include <QTimer>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ionvane::livewindow {

using tracker::UnixSeconds;

class WsjtxBar : public QGroupBox {
    Q_OBJECT

  public:
    /// `remembered` (the window's settings) must outlive the bar; `save` keeps them once the bar
    /// changed them; `nowUtc` is the clock the words count with.
    WsjtxBar(LiveSettings &remembered, std::function<void()> save,
             std::function<UnixSeconds()> nowUtc, QWidget *parent = nullptr);
    ~WsjtxBar() override;
    WsjtxBar(const WsjtxBar &) = delete;
    WsjtxBar &operator=(const WsjtxBar &) = delete;

    /// The core that runs the source, which must outlive the bar's use of it; listens at once
    /// when the bar did when the window last closed.
    void UseCore(live::CoreControl &core);
    /// The core is about to go (the home changed and a new one comes): nothing is asked of it.
    void ForgetCore() { Core = nullptr; }
    [[nodiscard]] bool Recordings() const;
    /// Starts listening at the address in the box; says why not when it cannot.
    void Listen();
    void StopListening();

  private:
    void Heard(const live::LiveEvent &event);
    void ShowWords();
    void ShowListening(bool listening);

    LiveSettings &Remembered;
    std::function<void()> Save;
    live::CoreControl *Core = nullptr;
    std::function<UnixSeconds()> NowUtc;
    wsjtx::Seconds ListeningSince{};
    QTimer Words;
    QLineEdit *txtWsjtx = nullptr;
    QCheckBox *chkWsjtxRecordings = nullptr;
    QPushButton *cmdWsjtxListen = nullptr;
    QLabel *lblWsjtxState = nullptr;
};

} // namespace ionvane::livewindow
