#include "main_window.h"

#include "locale_format.h"
#include "spot/spot_reader.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>

#include <algorithm>

namespace ionvane::window {

namespace {

// Positions and sizes are kept in twips, 15 to a pixel at 96 dots per inch.
constexpr double TwipsPerPixel = 15;
constexpr double ReferenceDpi = 96;
constexpr int ClientWidthTwips = 6675;
constexpr int ClientHeightTwips = 3630;

constexpr int LocatorMaxLength = 6;
constexpr std::size_t FrequencyMaxLength = 7;

const QColor LabelText(255, 255, 192);
const QColor ResultText(255, 255, 0);

const char *LocatorTip = "Enter a 4 digit or 6 digit locator like IO90 or JN77EX";

QString Q(const std::string &text) {
    return QString::fromStdString(text);
}
std::string S(const QString &text) {
    return text.toStdString();
}

// A box's length limit binds what the user types or pastes, never text the program sets: such a
// text is kept whole however long it is (a first line "IO90IRXY" read from the settings file, a
// spot's frequency 144.1745), and the user can then shorten it but not lengthen it.
void LimitTyping(QLineEdit *box, int limit) {
    box->setMaxLength(limit);
    QObject::connect(box, &QLineEdit::textChanged, box, [box, limit](const QString &text) {
        const int allowed = std::max(limit, static_cast<int>(text.size()));
        if (allowed < box->maxLength()) {
            // A new limit sets the text again, which would put the cursor at the end.
            const int cursor = box->cursorPosition();
            box->setMaxLength(allowed);
            box->setCursorPosition(cursor);
        }
    });
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
}

void frmMUF::BuildControls() {
    auto *client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);
    const double scale = logicalDpiX() / ReferenceDpi;
    const auto px = [scale](int twips) {
        return static_cast<int>(std::lround(twips / TwipsPerPixel * scale));
    };
    client->setFixedSize(px(ClientWidthTwips), px(ClientHeightTwips));

    const auto place = [&](QWidget *widget, const char *name, int left, int top, int width,
                           int height) {
        widget->setObjectName(name);
        widget->setGeometry(px(left), px(top), px(width), px(height));
    };
    const auto label = [&](QLabel *&member, const char *name, const char *caption,
                           Qt::Alignment alignment, int left, int top, int width, int height) {
        member = new QLabel(caption, client);
        member->setAlignment(alignment | Qt::AlignVCenter);
        member->setFocusPolicy(Qt::NoFocus);
        place(member, name, left, top, width, height);
    };
    const auto box = [&](QLineEdit *&member, const char *name, const char *tip, int maxLength,
                         int left, int top, int width, int height) {
        member = new QLineEdit(client);
        member->setToolTip(tip);
        LimitTyping(member, maxLength);
        member->setAlignment(Qt::AlignCenter);
        member->installEventFilter(this);
        // A spot dropped anywhere on the window is read as a spot, not typed into a box.
        member->setAcceptDrops(false);
        place(member, name, left, top, width, height);
    };

    label(lblFromLoc, "lblFromLoc", "From locator", Qt::AlignHCenter, 240, 120, 1455, 255);
    box(txtFromLoc, "txtFromLoc", LocatorTip, LocatorMaxLength, 480, 360, 975, 375);
    label(lblToLoc, "lblToLoc", "To locator", Qt::AlignHCenter, 2040, 120, 1215, 255);
    box(txtToLoc, "txtToLoc", LocatorTip, LocatorMaxLength, 2160, 360, 975, 375);
    label(lblFreq, "lblFreq", "Frequency", Qt::AlignHCenter, 3720, 120, 1095, 255);
    box(txtFreq, "txtFreq", "Enter a frequency like 50.2 or 122.7",
        static_cast<int>(FrequencyMaxLength), 3840, 360, 855, 375);
    label(lblHomeLoc, "lblHomeLoc", "Home locator", Qt::AlignHCenter, 4920, 120, 1575, 255);
    box(txtHomeLoc, "txtHomeLoc", LocatorTip, LocatorMaxLength, 5280, 360, 855, 375);

    label(lblEsLayerHeight, "lblEsLayerHeight", "", Qt::AlignRight, 120, 840, 2175, 255);
    cmdCalcMUF = new QPushButton("&Calculate", client);
    place(cmdCalcMUF, "cmdCalcMUF", 2400, 840, 1335, 375);
    // Reaches to the Clear button, so that "MASL = 5,000m" is never cut off.
    label(lblMASL, "lblMASL", "", Qt::AlignLeft, 3840, 840, 1425, 255);
    cmdClear = new QPushButton("C&lear", client);
    cmdClear->setToolTip("This will clear From and To Loc and Freq");
    place(cmdClear, "cmdClear", 5280, 840, 855, 375);
    for (QPushButton *button : {cmdCalcMUF, cmdClear}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->installEventFilter(this);
    }

    label(lblAZResult, "lblAZResult", "", Qt::AlignHCenter, 120, 1320, 6375, 255);
    label(lblAzResult2, "lblAzResult2", "", Qt::AlignHCenter, 120, 1680, 6375, 255);
    label(lblMidPoint, "lblMidPoint", "", Qt::AlignHCenter, 120, 2040, 6375, 255);
    label(lblMUFqth, "lblMUFqth", "", Qt::AlignHCenter, 120, 2400, 6375, 375);
    label(lblMUFqth2, "lblMUFqth2", "", Qt::AlignHCenter, 120, 2880, 6375, 255);
    label(lblFOT, "lblFOT", "", Qt::AlignHCenter, 0, 3240, 6615, 255);

    QWidget::setTabOrder(txtFromLoc, txtToLoc);
    QWidget::setTabOrder(txtToLoc, txtFreq);
    QWidget::setTabOrder(txtFreq, txtHomeLoc);
    QWidget::setTabOrder(txtHomeLoc, cmdCalcMUF);
    QWidget::setTabOrder(cmdCalcMUF, cmdClear);

    connect(txtFreq, &QLineEdit::textChanged, this, &frmMUF::FrequencyChanged);
    connect(cmdCalcMUF, &QPushButton::clicked, this, &frmMUF::CalculateClicked);
    connect(cmdClear, &QPushButton::clicked, this, &frmMUF::ClearClicked);
}

void frmMUF::BuildMenus() {
    const auto action = [this](QAction *&member, const char *name, const char *caption) {
        member = new QAction(caption, this);
        member->setObjectName(name);
        // Shortcuts work wherever the focus is in the window.
        addAction(member);
    };
    mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    action(mnuPasteSpot, "mnuPasteSpot", "&Paste spot");
    mnuPasteSpot->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    mnuFile->addAction(mnuPasteSpot);
    mnuFile->addSeparator();
    action(mnuHomeLoc, "mnuHomeLoc", "&Set Home Loc");
    mnuHomeLoc->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    action(mnuEsLayer, "mnuEsLayer", "Set &e layer height");
    action(mnuMASL, "mnuMASL", "Set &MASL");
    action(mnuDefaults, "mnuDefaults", "Set De&faults");
    action(mnuHelp, "mnuHelp", "&Help");
    mnuHelp->setShortcut(QKeySequence(Qt::Key_F1));
    mnuFile->addActions({mnuHomeLoc, mnuEsLayer, mnuMASL, mnuDefaults, mnuHelp});
    mnuFile->addSeparator();
    action(mnuLive, "mnuLive", "&Live window");
    mnuFile->addAction(mnuLive);
    action(mnuExit, "mnuExit", "E&xit");
    menuBar()->addAction(mnuExit);

    connect(mnuPasteSpot, &QAction::triggered, this,
            [this] { PasteSpot(QGuiApplication::clipboard()->text()); });
    connect(mnuHomeLoc, &QAction::triggered, this, [this] { txtHomeLoc->setFocus(); });
    connect(mnuEsLayer, &QAction::triggered, this, &frmMUF::SetEsLayerHeight);
    connect(mnuMASL, &QAction::triggered, this, &frmMUF::SetMasl);
    connect(mnuDefaults, &QAction::triggered, this, &frmMUF::SetDefaults);
    connect(mnuHelp, &QAction::triggered, this, &frmMUF::ShowHelp);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuLive, &QAction::triggered, this, &frmMUF::liveWindowRequested);
}

void frmMUF::ApplyLook() {
    QPalette window = centralWidget()->palette();
    const QColor highlight = window.color(QPalette::Highlight);
    window.setColor(QPalette::Window, highlight);
    centralWidget()->setPalette(window);
    centralWidget()->setAutoFillBackground(true);

    // The platform's sans-serif face, preferring one with Arial's metrics so that every caption
    // fits the space it was laid out for.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setFamilies({"Liberation Sans", "Arial", font.family()});
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    const auto sized = [font](double points) {
        QFont f = font;
        f.setPointSizeF(points);
        return f;
    };
    for (QLineEdit *box : {txtFromLoc, txtToLoc, txtFreq, txtHomeLoc}) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
        p.setColor(QPalette::Text, highlight);
        box->setPalette(p);
        box->setFont(sized(8.25));
    }
    for (QPushButton *button : {cmdCalcMUF, cmdClear}) {
        button->setFont(sized(8.25));
    }
    for (QLabel *l : {lblFromLoc, lblToLoc, lblFreq, lblHomeLoc, lblEsLayerHeight, lblMASL,
                      lblAZResult, lblAzResult2, lblMidPoint, lblMUFqth, lblMUFqth2, lblFOT}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, l == lblMUFqth || l == lblFOT ? ResultText : LabelText);
        l->setPalette(p);
        l->setFont(sized(8.25));
    }
    lblMUFqth->setFont(sized(11.25));
    lblFOT->setFont(sized(9));
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
    SaveSettingsFile(
        Places.SavePath(),
        Settings{S(txtHomeLoc->text()), Calc.EsLayerHeightKm, Calc.HomeHeightKm, HomeLineBytes},
        Format);
}

void frmMUF::ShowSettings() {
    lblEsLayerHeight->setText(Q(EsLayerHeightCaption(Calc.EsLayerHeightKm, Format)));
    lblMASL->setText(Q(MaslCaption(Calc.HomeHeightKm, Format)));
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
    if (text.isEmpty() || calc::IsNumeric(S(text), Format)) {
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

QString frmMUF::HelpText() {
    return QStringLiteral(
        "Ionvane from Tarkel, I in no way take responsibility for inaccuracies in the "
        "calculations or any problems encountered with using this program \n"
        "\n"
        "USING IONVANE\n"
        "It's easy, just put in dx spots and the frequency from the cluster and hit calculate.\n"
        "Make sure you have set the home locator..\n"
        "\n"
        "Many thanks to the radio amateurs who helped with the maths,\n"
        "most of the maths were solved by these guys :-)\n"
        "Please report problems through the Ionvane project's issue tracker.");
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
