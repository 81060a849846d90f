#include "alarm_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace ionvane::livewindow {

namespace {

constexpr int MaxVolumePercent = 100;

QLineEdit *Field(const char *name, const QString &text, QWidget *parent) {
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    return field;
}

} // namespace

frmAlarmOutlets::frmAlarmOutlets(const AlarmOutletSettings &settings, QWidget *parent)
    : QDialog(parent), Started(settings) {
    setObjectName("frmAlarmOutlets");
    setWindowTitle("Alarm outlets");
    // The groups scroll above the buttons: at 200% on a laptop's 768 pixels they are taller than
    // the screen.
    auto *outer = new QVBoxLayout(this);
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);

    auto *sound = new QGroupBox("Sound", this);
    auto *soundForm = new QFormLayout(sound);
    chkSound = new QCheckBox("&Play a sound", sound);
    chkSound->setObjectName("chkSound");
    chkSound->setChecked(settings.Sound.On);
    soundForm->addRow(chkSound);
    txtSoundFile = Field("txtSoundFile", settings.Sound.File, sound);
    txtSoundFile->setPlaceholderText("the program's own sound");
    soundForm->addRow("Sound &file:", txtSoundFile);
    sldVolume = new QSlider(Qt::Horizontal, sound);
    sldVolume->setObjectName("sldVolume");
    sldVolume->setRange(0, MaxVolumePercent);
    sldVolume->setValue(settings.Sound.VolumePercent);
    soundForm->addRow("&Volume:", sldVolume);
    chkRepeat = new QCheckBox("&Repeat until acknowledged", sound);
    chkRepeat->setObjectName("chkRepeat");
    chkRepeat->setChecked(settings.Sound.RepeatUntilAcknowledged);
    soundForm->addRow(chkRepeat);
    layout->addWidget(sound);

    auto *hook = new QGroupBox("Command", this);
    auto *hookForm = new QFormLayout(hook);
    txtHook = Field("txtHook", settings.HookCommand, hook);
    txtHook->setToolTip("A shell command run for each alarm: IONVANE_BAND, IONVANE_BEAM, "
                        "IONVANE_TOWARDS, IONVANE_HEARD and IONVANE_TEXT in its environment, the "
                        "alarm as JSON on its standard input; ended after 10 s");
    hookForm->addRow("Run on &alarm:", txtHook);
    layout->addWidget(hook);

    auto *ntfy = new QGroupBox("Phone (ntfy)", this);
    auto *ntfyForm = new QFormLayout(ntfy);
    txtNtfyServer = Field("txtNtfyServer", settings.NtfyServer, ntfy);
    ntfyForm->addRow("&Server:", txtNtfyServer);
    txtNtfyTopic = Field("txtNtfyTopic", settings.NtfyTopic, ntfy);
    ntfyForm->addRow("&Topic:", txtNtfyTopic);
    txtNtfyToken = Field("txtNtfyToken", settings.NtfyToken, ntfy);
    txtNtfyToken->setEchoMode(QLineEdit::Password);
    ntfyForm->addRow("To&ken:", txtNtfyToken);
    auto *warning = new QLabel("Anyone who knows the name of a topic on a public server can read "
                               "it: pick a name no one will guess.",
                               ntfy);
    warning->setWordWrap(true);
    ntfyForm->addRow(warning);
    layout->addWidget(ntfy);

    auto *rotator = new QGroupBox("Rotator (Hamlib rotctld)", this);
    auto *rotatorForm = new QFormLayout(rotator);
    txtRotator = Field("txtRotator", settings.Rotator, rotator);
    txtRotator->setPlaceholderText("127.0.0.1:4533");
    rotatorForm->addRow("rotctld at (&host:port):", txtRotator);
    chkFollow =
        new QCheckBox("F&ollow the headline beam (5° steps, at most every 2 minutes)", rotator);
    chkFollow->setObjectName("chkFollow");
    chkFollow->setChecked(settings.Follow);
    rotatorForm->addRow(chkFollow);
    layout->addWidget(rotator);

    auto *wsjtx = new QGroupBox("WSJT-X", this);
    auto *wsjtxForm = new QVBoxLayout(wsjtx);
    chkHighlight = new QCheckBox("&Highlight calls", wsjtx);
    chkHighlight->setObjectName("chkHighlight");
    chkHighlight->setToolTip("Calls heard through a cloud of an open band are coloured in WSJT-X, "
                             "and cleared when the cloud fades");
    chkHighlight->setChecked(settings.Highlight);
    wsjtxForm->addWidget(chkHighlight);
    auto *accept = new QLabel("WSJT-X takes them only with \"Accept UDP requests\" ticked in its "
                              "Settings > Reporting.",
                              wsjtx);
    accept->setWordWrap(true);
    wsjtxForm->addWidget(accept);
    layout->addWidget(wsjtx);

    auto *scroll = new QScrollArea(this);
    scroll->setObjectName("scrOutlets");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(body);
    outer->addWidget(scroll);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
    // As large as its fields where the screen has room; the rest scrolls.
    const QSize wanted = body->sizeHint();
    scroll->setMinimumWidth(wanted.width() + scroll->verticalScrollBar()->sizeHint().width());
    const QScreen *on = parent != nullptr ? parent->screen() : screen();
    const int roomPx = on != nullptr ? on->availableGeometry().height() * 9 / 10 : wanted.height();
    resize(sizeHint().width(),
           std::min(wanted.height() + buttons->sizeHint().height() + 3 * outer->spacing() +
                        outer->contentsMargins().top() + outer->contentsMargins().bottom(),
                    roomPx));
}

AlarmOutletSettings frmAlarmOutlets::Settings() const {
    AlarmOutletSettings settings = Started;
    settings.Sound.On = chkSound->isChecked();
    settings.Sound.File = txtSoundFile->text().trimmed();
    settings.Sound.VolumePercent = sldVolume->value();
    settings.Sound.RepeatUntilAcknowledged = chkRepeat->isChecked();
    settings.HookCommand = txtHook->text().trimmed();
    settings.NtfyServer = txtNtfyServer->text().trimmed();
    settings.NtfyTopic = txtNtfyTopic->text().trimmed();
    settings.NtfyToken = txtNtfyToken->text().trimmed();
    settings.Rotator = txtRotator->text().trimmed();
    settings.Follow = chkFollow->isChecked();
    settings.Highlight = chkHighlight->isChecked();
    return settings;
}

} // namespace ionvane::livewindow
