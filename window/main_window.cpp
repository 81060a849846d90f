#include "main_window.h"

#include "country_file_note.h"
#include "locale_format.h"
#include "spot/spot_reader.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include <algorithm>

namespace ionvane::window {

namespace {

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}
std::string S(const QString &text) {
    return text.toStdString();
}

// Sets a box's text as the program does, past the box's length limit if need be.
void SetBoxText(QLineEdit *box, const QString &text) {
    if (text.size() > box->maxLength()) {
        box->setMaxLength(static_cast<int>(text.size()));
    }
    box->setText(text);
}

// A spot's frequency as the box shows it: the spot's exact decimal text with the user's own
// decimal separator (50,313 in Polish), so that the box passes its numeric test and reads back
// as the spot's value.
QString FrequencyBoxText(std::string text, const calc::NumberFormat &format) {
    if (const auto point = text.find('.'); point != std::string::npos) {
        text.replace(point, 1, format.DecimalSeparator);
    }
    return Q(text);
}

bool IsEnter(const QKeyEvent *key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Keys that a text box hears as a character: printing keys, Enter, Backspace, Escape and control
// combinations. Arrow and function keys carry no text; Delete and Tab carry one on some platforms
// ("\x7f", "\t") but edit or leave the box rather than type into it.
bool IsCharacterKey(const QKeyEvent *key) {
    if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
        key->key() == Qt::Key_Backtab) {
        return false;
    }
    return !key->text().isEmpty() || IsEnter(key);
}

} // namespace

frmMUF::frmMUF(Dialogs &dialogs, SettingsPlaces places, const QLocale &locale, QWidget *parent)
    : QMainWindow(parent), Dialog(dialogs), Places(std::move(places)),
      Format(NumberFormatOf(locale)), Command(Format) {
    setObjectName("frmMUF");
    Dialog.OpenOver(this);
    setWindowTitle(Q(std::string(ProgramTitle)));
    BuildControls();
    BuildMenus();
    ApplyLook();
    LoadSequence();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setAcceptDrops(true);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { SaveSequence(); });
    // A logout may end the program without another word: what the session manager is told to
    // keep is written at once, and written again at Exit if the session goes on.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (!Unloaded) {
            WriteSettings();
        }
    });
}

void frmMUF::LoadSequence() {
    const Settings settings = LoadSettingsFile(Places.LoadPath(), Format);
    SetBoxText(txtHomeLoc, Q(settings.HomeLocator));
    HomeLineBytes = settings.HomeLineBytes;
    Calc.EsLayerHeightKm = settings.EsLayerHeightKm;
    Calc.HomeHeightKm = settings.HomeHeightKm;
    ShowSettings();
}

void frmMUF::SaveSequence() {
    if (Unloaded) {
        return;
    }
    Unloaded = true;
    WriteSettings();
}

void frmMUF::WriteSettings() {
    SaveSettingsFile(
        Places.SavePath(),
        Settings{S(txtHomeLoc->text()), Calc.EsLayerHeightKm, Calc.HomeHeightKm, HomeLineBytes},
        Format);
}

void frmMUF::ShowSettings() {
    lblEsLayerHeight->setText(Q(EsLayerHeightCaption(Calc.EsLayerHeightKm, Format)));
    lblMASL->setText(Q(MaslCaption(Calc.HomeHeightKm, Format)));
    if (!ApplyingHome) {
        emit homeChanged(Home());
    }
}

Settings frmMUF::Home() const {
    return Settings{S(txtHomeLoc->text()), Calc.EsLayerHeightKm, Calc.HomeHeightKm, HomeLineBytes};
}

void frmMUF::ApplyHome(const Settings &home) {
    ApplyingHome = true;
    if (Q(home.HomeLocator) != txtHomeLoc->text()) {
        SetBoxText(txtHomeLoc, Q(home.HomeLocator));
    }
    Calc.EsLayerHeightKm = home.EsLayerHeightKm;
    Calc.HomeHeightKm = home.HomeHeightKm;
    ShowSettings();
    ApplyingHome = false;
}

void frmMUF::closeEvent(QCloseEvent *event) {
    SaveSequence();
    event->accept();
}

bool frmMUF::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Shortcut && (watched == cmdCalcMUF || watched == cmdClear) &&
        !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
        // The access key presses the button at once. Qt's own handling shows the button down for
        // 100 ms and clicks only then, so that keys typed straight after Alt+L went to the box
        // that had the focus before Clear moved it.
        static_cast<QPushButton *>(watched)->click();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == cmdCalcMUF || watched == cmdClear) {
        // Enter presses the focused button, as Space does.
        if (IsEnter(key) && !key->isAutoRepeat()) {
            static_cast<QPushButton *>(watched)->click();
            return true;
        }
        return false;
    }
    if (watched == txtFreq) {
        return FrequencyKeyPress(key);
    }
    for (QLineEdit *box : {txtFromLoc, txtToLoc, txtHomeLoc}) {
        if (watched == box) {
            return LocatorKeyPress(box, key);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmMUF::LocatorKeyPress(QLineEdit *box, QKeyEvent *key) {
    if (!IsCharacterKey(key)) {
        return false;
    }
    setWindowTitle(Q(std::string(ProgramTitle)));
    if (IsEnter(key)) {
        (box == txtHomeLoc ? txtFromLoc : box == txtFromLoc ? txtToLoc : txtFreq)->setFocus();
        return true;
    }
    const QString text = key->text();
    if (text == " ") {
        return true;
    }
    // Letters of the single-byte character set are typed in upper case.
    // (One character for one: the German sharp s stays as it is rather than becoming SS.)
    const QChar upperChar = text.size() == 1 ? text[0].toUpper() : QChar();
    if (text.size() == 1 && text[0].unicode() <= 0xFF && upperChar != text[0] &&
        upperChar.unicode() <= 0xFF) {
        QKeyEvent upper(QEvent::KeyPress, key->key(), key->modifiers(), key->nativeScanCode(),
                        key->nativeVirtualKey(), key->nativeModifiers(), QString(upperChar),
                        key->isAutoRepeat(), static_cast<quint16>(key->count()));
        QCoreApplication::sendEvent(box, &upper);
        return true;
    }
    return false;
}

bool frmMUF::FrequencyKeyPress(QKeyEvent *key) {
    if (!IsCharacterKey(key)) {
        return false;
    }
    setWindowTitle(Q(std::string(ProgramTitle)));
    if (IsEnter(key)) {
        // Only moves on: the calculation runs when the button is pressed.
        cmdCalcMUF->setFocus();
        return true;
    }
    return key->text() == " ";
}

void frmMUF::FrequencyChanged() {
    const QString text = txtFreq->text();
    if (text.isEmpty() || calc::IsFrequencyNumeric(S(text), Format)) {
        return;
    }
    Dialog.ShowMessage("ONLY FREQUENCY NUMBER!!!!", "Number......", Dialogs::Icon::Critical);
    SetBoxText(txtFreq, QString());
    txtFreq->setFocus();
}

QWidget *frmMUF::ControlWidget(Control control) const {
    // Every control carries its name as its object name: the one mapping is ControlName.
    auto *widget = findChild<QWidget *>(Q(std::string(command::ControlName(control))));
    return widget != nullptr ? widget : txtFromLoc;
}

void frmMUF::CalculateClicked() {
    ScreenTexts screen{S(lblAZResult->text()), S(lblAzResult2->text()), S(lblMidPoint->text()),
                       S(lblMUFqth->text()),   S(lblMUFqth2->text()),   S(lblFOT->text()),
                       S(windowTitle()),       S(txtHomeLoc->text())};
    const CalculateInput input{S(txtFromLoc->text()), S(txtToLoc->text()), S(txtFreq->text())};
    const CalculateOutcome outcome = Command.Run(Calc, input, screen);
    if (outcome.HowEnded == CalculateOutcome::Ending::SilentStop) {
        return;
    }
    lblAZResult->setText(Q(screen.lblAZResult));
    lblAzResult2->setText(Q(screen.lblAzResult2));
    lblMidPoint->setText(Q(screen.lblMidPoint));
    lblMUFqth->setText(Q(screen.lblMUFqth));
    lblMUFqth2->setText(Q(screen.lblMUFqth2));
    lblFOT->setText(Q(screen.lblFOT));
    setWindowTitle(Q(screen.Title));
    if (Q(screen.txtHomeLoc) != txtHomeLoc->text()) {
        SetBoxText(txtHomeLoc, Q(screen.txtHomeLoc));
    }
    if (outcome.Focus) {
        ControlWidget(*outcome.Focus)->setFocus();
    }
}

void frmMUF::ClearClicked() {
    for (QLineEdit *box : {txtFromLoc, txtToLoc, txtFreq}) {
        SetBoxText(box, QString());
    }
    for (QLabel *l : {lblAZResult, lblAzResult2, lblMidPoint, lblMUFqth, lblMUFqth2, lblFOT}) {
        l->clear();
    }
    setWindowTitle(Q(std::string(ProgramTitle)));
    txtFromLoc->setFocus();
}

void frmMUF::SetEsLayerHeight() {
    const QString answer =
        Dialog.AskText("Please enter a number between 90 and 130", "es Layer Height?");
    if (const auto km = EsLayerHeightFromAnswer(S(answer), Format)) {
        Calc.EsLayerHeightKm = *km;
        ShowSettings();
    }
}

void frmMUF::SetMasl() {
    const QString answer = Dialog.AskText("Please enter a number between 1 and 5000.\n"
                                          "NOTE: this only sets your masl, the dx masl is set at "
                                          "150m.",
                                          "Height above sea level?");
    if (const auto km = HomeHeightFromAnswer(S(answer), Format)) {
        Calc.HomeHeightKm = *km;
        ShowSettings();
    }
}

void frmMUF::SetDefaults() {
    Calc.EsLayerHeightKm = DefaultEsLayerHeightKm;
    Calc.HomeHeightKm = DefaultHomeHeightKm;
    ShowSettings();
}

QString frmMUF::HelpText() const {
    return QStringLiteral(
               "Ionvane from Tarkel, I in no way take responsibility for inaccuracies in the "
               "calculations or any problems encountered with using this program \n"
               "\n"
               "USING IONVANE\n"
               "It's easy, just put in dx spots and the frequency from the cluster and hit "
               "calculate.\n"
               "Make sure you have set the home locator..\n"
               "\n"
               "Many thanks to the radio amateurs who helped with the maths,\n"
               "most of the maths were solved by these guys :-)\n"
               "Please report problems through the Ionvane project's issue tracker.\n"
               "\n") +
           CountryFileNote(CountryFilePath);
}

void frmMUF::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasText()) {
        event->acceptProposedAction();
    }
}

void frmMUF::dropEvent(QDropEvent *event) {
    event->acceptProposedAction();
    PasteSpot(event->mimeData()->text());
}

void frmMUF::PasteSpot(const QString &text) {
    // The first line that reads as a spot wins; otherwise the first line says what is missing.
    std::optional<spot::SpotReading> first;
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts)) {
        const spot::SpotReading reading = spot::ReadSpot(S(line));
        if (reading.Problem == spot::SpotProblem::None) {
            SetBoxText(txtFromLoc, Q(reading.Read.FromLoc));
            SetBoxText(txtToLoc, Q(reading.Read.ToLoc));
            SetBoxText(txtFreq, FrequencyBoxText(reading.Read.FreqMHzText, Format));
            CalculateClicked();
            if (!reading.Read.Es && !lblAZResult->text().isEmpty()) {
                // Calculated all the same, but the user sees that the Es figures may not apply.
                lblAZResult->setText(lblAZResult->text() + "  (tagged " + Q(reading.Read.Tag) +
                                     ", not Es)");
            }
            return;
        }
        if (!first) {
            first = reading;
        }
    }
    const auto problem = first ? spot::ProblemAsSpot(*first) : spot::SpotProblem::NoLocators;
    Dialog.ShowMessage(Q(std::string(spot::ProblemText(problem))), "Paste spot",
                       Dialogs::Icon::Information);
}

void frmMUF::CalculateSpot(const QString &fromLoc, const QString &toLoc,
                           const QString &freqMHzText) {
    // Typed letters reach the locator boxes upper-cased, and nothing else of the filters applies
    // to a whole locator.
    SetBoxText(txtFromLoc, fromLoc.toUpper());
    SetBoxText(txtToLoc, toLoc.toUpper());
    SetBoxText(txtFreq, FrequencyBoxText(S(freqMHzText), Format));
    CalculateClicked();
}

void frmMUF::ShowHelp() {
    Dialog.ShowMessage(HelpText(), "Tarkel's Ionvane", Dialogs::Icon::Information);
}

} // namespace ionvane::window
