// The live window's box for the user's own WSJT-X: where to listen, whether recordings count, a
// button to listen or stop, and the state in words ("WSJT-X 2.6.1 on 50.313 MHz FT8, last decode
// 12 s ago"). It holds no socket: the window starts and stops the source it is told to.
#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ionvane::livewindow {

class WsjtxBar : public QGroupBox {
    Q_OBJECT

  public:
    /// `address` as the user writes it for --wsjtx ("2237", "239.255.0.1:2237").
    WsjtxBar(const QString &address, bool recordings, QWidget *parent = nullptr);

    [[nodiscard]] QString Address() const;
    [[nodiscard]] bool Recordings() const;
    /// The button says Stop while listening, Listen otherwise; the address is locked while
    /// listening.
    void ShowListening(bool listening);
    void ShowWords(const QString &words);

  signals:
    void listenClicked();
    void recordingsToggled(bool recordings);

  private:
    QLineEdit *txtWsjtx = nullptr;
    QCheckBox *chkWsjtxRecordings = nullptr;
    QPushButton *cmdWsjtxListen = nullptr;
    QLabel *lblWsjtxState = nullptr;
};

/// Words for a WSJT-X source not listening.
inline const char *NotListeningWords = "Not listening";

} // namespace ionvane::livewindow
