// Building the main window: its controls in their twip positions, the menus and the look.
#include "main_window.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>

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

// The frequency box takes "." as a decimal point in every region; where the region writes another
// one, the tip shows both.
QString FrequencyTip(const calc::NumberFormat &format) {
    QString tip = "Enter a frequency like 50.2 or 122.7";
    if (format.DecimalSeparator != ".") {
        const QString point = QString::fromStdString(format.DecimalSeparator);
        tip += " (or 50" + point + "2 or 122" + point + "7)";
    }
    return tip;
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

} // namespace

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
    const auto box = [&](QLineEdit *&member, const char *name, const QString &tip, int maxLength,
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
    box(txtFreq, "txtFreq", FrequencyTip(Format), static_cast<int>(FrequencyMaxLength), 3840, 360,
        855, 375);
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
    connect(mnuHomeLoc, &QAction::triggered, this, [this] {
        // The whole home locator selected: typing a new one replaces it rather than running into
        // the box's six-character limit.
        txtHomeLoc->setFocus();
        txtHomeLoc->selectAll();
    });
    connect(mnuEsLayer, &QAction::triggered, this, &frmMUF::SetEsLayerHeight);
    connect(mnuMASL, &QAction::triggered, this, &frmMUF::SetMasl);
    connect(mnuDefaults, &QAction::triggered, this, &frmMUF::SetDefaults);
    connect(mnuHelp, &QAction::triggered, this, &frmMUF::ShowHelp);
    connect(mnuExit, &QAction::triggered, this, [this] {
        close();
        emit exitRequested();
    });
    // A home locator the calculator takes is the live window's at once, not at the next start.
    connect(txtHomeLoc, &QLineEdit::textChanged, this, [this] {
        if (!ApplyingHome) {
            emit homeChanged(Home());
        }
    });
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

} // namespace ionvane::window
