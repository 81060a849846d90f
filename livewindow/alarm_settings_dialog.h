// The live window's settings for where an alarm goes: the sound, the user's command, ntfy and the
// rotator. Controls keep their names as object names, for tests.
#pragma once

#include "alarm_settings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSlider;

namespace ionvane::livewindow {

// NOLINTNEXTLINE(readability-identifier-naming): named like the program's other windows.
class frmAlarmOutlets : public QDialog {
    Q_OBJECT
  public:
    explicit frmAlarmOutlets(const AlarmOutletSettings &settings, QWidget *parent = nullptr);

    /// The settings as the dialog shows them.
    [[nodiscard]] AlarmOutletSettings Settings() const;

  private:
    AlarmOutletSettings Started;
    QCheckBox *chkSound = nullptr;
    QLineEdit *txtSoundFile = nullptr;
    QSlider *sldVolume = nullptr;
    QCheckBox *chkRepeat = nullptr;
    QLineEdit *txtHook = nullptr;
    QLineEdit *txtNtfyServer = nullptr;
    QLineEdit *txtNtfyTopic = nullptr;
    QLineEdit *txtNtfyToken = nullptr;
    QLineEdit *txtRotator = nullptr;
    QCheckBox *chkFollow = nullptr;
    QCheckBox *chkHighlight = nullptr;
};

} // namespace ionvane::livewindow
