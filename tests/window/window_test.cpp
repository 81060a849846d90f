// The main window driven as a user drives it: keystrokes, clicks, menus, stand-in dialogs, and the
// settings file in temporary directories.
#include "full_disk.h"
#include "window/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <functional>
#include <memory>

using namespace ionvane::window;

namespace {

struct Message {
    QString Text, Title;
    Dialogs::Icon Icon;
};

// Answers input boxes from a queue and records every message box.
class FakeDialogs : public Dialogs {
  public:
    void OpenOver(QWidget * /*window*/) override {}
    void ShowMessage(const QString &text, const QString &title, Icon icon) override {
        Messages.push_back({text, title, icon});
    }
    QString AskText(const QString &prompt, const QString &title) override {
        Prompts.push_back(prompt + "|" + title);
        if (Answers.empty()) {
            return {};
        }
        QString answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    std::vector<Message> Messages;
    std::vector<QString> Prompts;
    std::deque<QString> Answers;
};

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString &path, const QByteArray &content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> ProgramDir;
    std::unique_ptr<QTemporaryDir> UserDir;
    FakeDialogs Fake;
    std::unique_ptr<frmMUF> Window;

    QString SettingsPath() const { return ProgramDir->filePath("homeloc.dat"); }

    // Starts the program as a user would: a new window over the current settings file.
    void Start(Dialogs *dialogs = nullptr,
               const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedStates)) {
        Window =
            std::make_unique<frmMUF>(dialogs != nullptr ? *dialogs : Fake,
                                     SettingsPlaces{ProgramDir->path(), UserDir->path()}, locale);
        Window->show();
        Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Window.get()));
    }
    void Close() {
        Window->close();
        Window.reset();
    }

    QLineEdit *Box(const char *name) const { return Window->findChild<QLineEdit *>(name); }
    QLabel *Label(const char *name) const { return Window->findChild<QLabel *>(name); }
    QPushButton *Button(const char *name) const { return Window->findChild<QPushButton *>(name); }
    QAction *Menu(const char *name) const { return Window->findChild<QAction *>(name); }
    QString FocusName() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    void TypeInto(const char *box, const QString &text) {
        Box(box)->setFocus();
        QTest::keyClicks(Box(box), text);
    }
    void Enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    // A key with Alt, as the keyboard sends it to whatever has the focus.
    void Alt(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }
    // Alt+F, then `key` in the File menu that it opened.
    void FileMenuKey(Qt::Key key) {
        Alt(Qt::Key_F);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->objectName(), QString("mnuFile"));
        QTest::keyClick(menu, key);
    }
    // Runs `answer` on the next modal dialog once it is open; `answer` must close it.
    static void WhenDialogOpens(const std::function<void(QWidget *)> &answer) {
        QTimer::singleShot(0, qApp, [answer] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (dialog != nullptr) {
                answer(dialog);
            }
        });
    }
    // The window manager activates the window again once a dialog over it has closed; the
    // offscreen platform does not, so the test does it.
    void BackToTheWindow() {
        Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Window.get()));
    }
    QStringList FilesBesideTheProgram() const {
        return QDir(ProgramDir->path()).entryList(QDir::Files | QDir::Hidden);
    }

  private slots:
    void init() {
        ProgramDir = std::make_unique<QTemporaryDir>();
        UserDir = std::make_unique<QTemporaryDir>();
        Fake = FakeDialogs();
        Start();
    }
    void cleanup() {
        Window.reset();
        ProgramDir.reset();
        UserDir.reset();
    }

    // A new user: home box, From, To, frequency, each ended by Enter, then Enter on the button.
    void keyboardFlowGivesTheWorkedExample() {
        TypeInto("txtHomeLoc", "io90ir");
        Enter();
        QCOMPARE(FocusName(), QString("txtFromLoc"));
        QTest::keyClicks(QApplication::focusWidget(), "io90ir");
        Enter();
        QCOMPARE(FocusName(), QString("txtToLoc"));
        QTest::keyClicks(QApplication::focusWidget(), "jn77ex");
        Enter();
        QCOMPARE(FocusName(), QString("txtFreq"));
        QTest::keyClicks(QApplication::focusWidget(), "50.1");
        Enter();
        QCOMPARE(FocusName(), QString("cmdCalcMUF"));
        QVERIFY(Label("lblAZResult")->text().isEmpty()); // Enter in the box only moves on
        Enter();
        QCOMPARE(Label("lblAZResult")->text(), QString("es from IO90IR to JN77EX on 50.1mhz"));
        QCOMPARE(Label("lblAzResult2")->text(),
                 QString("(Azimuth = 99.52)   (Elevation = 7.88deg)   (Distance = 1,172.77km)"));
        QCOMPARE(Label("lblMidPoint")->text(),
                 QString("Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz"));
        QCOMPARE(Label("lblMUFqth")->text(), QString("From IO90IR try towards JN77EX"));
        QCOMPARE(Window->windowTitle(), QString("MUF = 62.96mhz,  try towards JN77EX"));
        QCOMPARE(Label("lblMUFqth2")->text(),
                 QString("(Azimuth = 99.52)   (Elevation = 7.89deg)   (Distance = 1,172.77km)"));
        QCOMPARE(Label("lblFOT")->text(), QString("Frequency of traffic = 50.04mhz"));
        QCOMPARE(FocusName(), QString("txtFromLoc"));
    }

    void filtersUpperCaseAndDropSpaces() {
        TypeInto("txtFromLoc", "io 90 ir12");
        QCOMPARE(Box("txtFromLoc")->text(), QString("IO90IR")); // six at most
        TypeInto("txtHomeLoc", "jn 77");
        QCOMPARE(Box("txtHomeLoc")->text(), QString("JN77"));
        Box("txtToLoc")->clear();
        Box("txtToLoc")->setFocus();
        // Letters past ASCII, as a keyboard with them sends them.
        for (const QChar c : QString::fromUtf8("éßÿ-x")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(Box("txtToLoc"), &press);
        }
        QCOMPARE(Box("txtToLoc")->text(), QString::fromUtf8("Éßÿ-X"));
        TypeInto("txtFreq", "50 .2");
        QCOMPARE(Box("txtFreq")->text(), QString("50.2"));
        QVERIFY(Fake.Messages.empty());
    }

    void frequencyCheckWipesTheBox() {
        const QString typed[] = {"5a", ".", "-"};
        for (const QString &text : typed) {
            Fake.Messages.clear();
            Box("txtFreq")->clear();
            TypeInto("txtFreq", text);
            QCOMPARE(Fake.Messages.size(), std::size_t{1});
            QCOMPARE(Fake.Messages[0].Text, QString("ONLY FREQUENCY NUMBER!!!!"));
            QCOMPARE(Fake.Messages[0].Title, QString("Number......"));
            QVERIFY(Fake.Messages[0].Icon == Dialogs::Icon::Critical);
            QCOMPARE(Box("txtFreq")->text(), QString());
            QCOMPARE(FocusName(), QString("txtFreq"));
        }
        Fake.Messages.clear();
        QGuiApplication::clipboard()->setText("fifty");
        Box("txtFreq")->setFocus();
        QTest::keyClick(Box("txtFreq"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Fake.Messages.size(), std::size_t{1});
        QCOMPARE(Box("txtFreq")->text(), QString());
    }

    void pastedLocatorKeepsItsCase() {
        QGuiApplication::clipboard()->setText("jn 77");
        Box("txtToLoc")->setFocus();
        QTest::keyClick(Box("txtToLoc"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Box("txtToLoc")->text(), QString("jn 77"));
    }

    void clearEmptiesInputsAndResults() {
        Box("txtHomeLoc")->setText("IO90IR");
        Box("txtFromLoc")->setText("IO90IR");
        Box("txtToLoc")->setText("JN77EX");
        Box("txtFreq")->setText("50.1");
        QTest::mouseClick(Button("cmdCalcMUF"), Qt::LeftButton);
        QVERIFY(!Label("lblFOT")->text().isEmpty());
        QTest::mouseClick(Button("cmdClear"), Qt::LeftButton);
        for (const char *box : {"txtFromLoc", "txtToLoc", "txtFreq"}) {
            QVERIFY(Box(box)->text().isEmpty());
        }
        for (const char *label :
             {"lblAZResult", "lblAzResult2", "lblMidPoint", "lblMUFqth", "lblMUFqth2", "lblFOT"}) {
            QVERIFY(Label(label)->text().isEmpty());
        }
        QCOMPARE(Window->windowTitle(), QString("Ionvane by Tarkel"));
        QCOMPARE(Box("txtHomeLoc")->text(), QString("IO90IR"));
        QCOMPARE(FocusName(), QString("txtFromLoc"));
        QVERIFY(Fake.Messages.empty());
    }

    void calculateErrorsShowMessageAndFocus_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("freq");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("focus");
        // The Calculate command's tests hold every status code; here one that is found late,
        // after two result lines were written, shows the wiring of line, focus and title.
        QTest::newRow("bad home") << "IO90IR"
                                  << "JN77EX"
                                  << "50"
                                  << "IO9"
                                  << "ERROR!! Home Locator Character 4 invalid!"
                                  << "txtHomeLoc";
    }
    void calculateErrorsShowMessageAndFocus() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, freq);
        QFETCH(QString, home);
        QFETCH(QString, line);
        QFETCH(QString, focus);
        Box("txtFromLoc")->setText("IO90IR");
        Box("txtToLoc")->setText("JN77EX");
        Box("txtFreq")->setText("50.1");
        QTest::mouseClick(Button("cmdCalcMUF"), Qt::LeftButton);
        const QString resultTitle = Window->windowTitle();
        Box("txtFromLoc")->setText(from);
        Box("txtToLoc")->setText(to);
        Box("txtFreq")->setText(freq);
        Box("txtHomeLoc")->setText(home);
        QTest::mouseClick(Button("cmdCalcMUF"), Qt::LeftButton);
        QCOMPARE(Label("lblMUFqth")->text(), line);
        QCOMPARE(FocusName(), focus);
        QCOMPARE(Window->windowTitle(), resultTitle);
        QVERIFY(Label("lblAZResult")->text().isEmpty());
        QVERIFY(Label("lblFOT")->text().isEmpty());
    }

    void badHomeIsShownCompleted() {
        Box("txtHomeLoc")->setText("IO9");
        Box("txtFromLoc")->setText("IO90IR");
        Box("txtToLoc")->setText("JN77EX");
        Box("txtFreq")->setText("50.1");
        QTest::mouseClick(Button("cmdCalcMUF"), Qt::LeftButton);
        QCOMPARE(Box("txtHomeLoc")->text(), QString("IO9IO9"));
    }

    void zeroFrequencyLeavesTheWindowAlone() {
        Box("txtFromLoc")->setText("IO90IR");
        Box("txtToLoc")->setText("JN77EX");
        Box("txtFreq")->setText("0");
        Box("txtToLoc")->setFocus();
        QTest::mouseClick(Button("cmdCalcMUF"), Qt::NoButton); // no click: focus stays
        QTest::keyClick(Button("cmdCalcMUF"), Qt::Key_Space);
        QVERIFY(Label("lblMUFqth")->text().isEmpty());
        QCOMPARE(Window->windowTitle(), QString("Ionvane by Tarkel"));
    }

    void firstStartWithoutFileThenClose() {
        QCOMPARE(Box("txtHomeLoc")->text(), QString());
        QCOMPARE(Label("lblEsLayerHeight")->text(), QString("e layer height = 110km"));
        QCOMPARE(Label("lblMASL")->text(), QString("MASL = 150m"));
        Close();
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("\r\n110\r\n0.15\r\n"));
    }

    void calculateWritesTheCompletedHomeToTheFile() {
        Box("txtFromLoc")->setText("IO91VL");
        Box("txtToLoc")->setText("JN58TD");
        Box("txtFreq")->setText("50.1");
        QTest::mouseClick(Button("cmdCalcMUF"), Qt::LeftButton);
        QCOMPARE(Box("txtHomeLoc")->text(), QString("IO90IR"));
        Close();
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("IO90IR\r\n110\r\n0.15\r\n"));
    }

    void loadsSettingsFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("esLabel");
        QTest::addColumn<QString>("maslLabel");
        QTest::newRow("example") << QByteArray("IO91WM\r\n100\r\n0.35\r\n") << "IO91WM"
                                 << "e layer height = 100km"
                                 << "MASL = 350m";
        QTest::newRow("one metre") << QByteArray("IO91WM\r\n90\r\n0.001\r\n") << "IO91WM"
                                   << "e layer height = 90km"
                                   << "MASL = 1m";
        QTest::newRow("fraction") << QByteArray("IO91WM\n100.5\n5\n") << "IO91WM"
                                  << "e layer height = 100km"
                                  << "MASL = 5,000m";
    }
    void loadsSettingsFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, home);
        QFETCH(QString, esLabel);
        QFETCH(QString, maslLabel);
        Window.reset();
        WriteAll(SettingsPath(), content);
        Start();
        QCOMPARE(Box("txtHomeLoc")->text(), home);
        QCOMPARE(Label("lblEsLayerHeight")->text(), esLabel);
        QCOMPARE(Label("lblMASL")->text(), maslLabel);
    }

    void setEsLayerHeight_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("label");
        QTest::newRow("130") << "130"
                             << "e layer height = 130km";
        QTest::newRow("131") << "131"
                             << "e layer height = 110km";
        QTest::newRow("89") << "89"
                            << "e layer height = 110km";
        QTest::newRow("89.5") << "89.5"
                              << "e layer height = 90km";
        QTest::newRow("130.5") << "130.5"
                               << "e layer height = 130km";
        QTest::newRow("abc") << "abc"
                             << "e layer height = 110km";
        QTest::newRow("cancel") << ""
                                << "e layer height = 110km";
    }
    void setEsLayerHeight() {
        QFETCH(QString, answer);
        QFETCH(QString, label);
        Fake.Answers = {answer};
        Menu("mnuEsLayer")->trigger();
        QCOMPARE(Fake.Prompts.back(),
                 QString("Please enter a number between 90 and 130|es Layer Height?"));
        QCOMPARE(Label("lblEsLayerHeight")->text(), label);
        QVERIFY(Fake.Messages.empty());
    }

    void setMasl_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("label");
        QTest::addColumn<float>("km");
        QTest::newRow("5000") << "5000"
                              << "MASL = 5,000m" << 5.0F;
        QTest::newRow("1") << "1"
                           << "MASL = 1m" << 0.001F;
        QTest::newRow("0") << "0"
                           << "MASL = 150m" << 0.15F;
        QTest::newRow("5001") << "5001"
                              << "MASL = 150m" << 0.15F;
        QTest::newRow("abc") << "abc"
                             << "MASL = 150m" << 0.15F;
        QTest::newRow("cancel") << ""
                                << "MASL = 150m" << 0.15F;
    }
    void setMasl() {
        QFETCH(QString, answer);
        QFETCH(QString, label);
        QFETCH(float, km);
        Fake.Answers = {answer};
        Menu("mnuMASL")->trigger();
        QCOMPARE(Fake.Prompts.back(),
                 QString("Please enter a number between 1 and 5000.\nNOTE: this only sets your "
                         "masl, the dx masl is set at 150m.|Height above sea level?"));
        QCOMPARE(Label("lblMASL")->text(), label);
        QCOMPARE(Window->State().HomeHeightKm, km);
    }

    void setDefaultsKeepsTheHome() {
        Box("txtHomeLoc")->setText("JN77EX");
        Fake.Answers = {"95", "2000"};
        Menu("mnuEsLayer")->trigger();
        Menu("mnuMASL")->trigger();
        QCOMPARE(Label("lblMASL")->text(), QString("MASL = 2,000m"));
        Menu("mnuDefaults")->trigger();
        QCOMPARE(Label("lblEsLayerHeight")->text(), QString("e layer height = 110km"));
        QCOMPARE(Label("lblMASL")->text(), QString("MASL = 150m"));
        QCOMPARE(Box("txtHomeLoc")->text(), QString("JN77EX"));
    }

    void shortcutsReachHomeBoxAndHelp() {
        Box("txtFromLoc")->setText("IO90IR");
        Box("txtHomeLoc")->setText("IO90IR");
        Box("txtFreq")->setFocus();
        QTest::keyClick(Box("txtFreq"), Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(FocusName(), QString("txtHomeLoc"));
        // The full home box is selected, so the new locator replaces it.
        QTest::keyClicks(Box("txtHomeLoc"), "jo62qm");
        QCOMPARE(Box("txtHomeLoc")->text(), QString("JO62QM"));
        QTest::keyClick(Box("txtHomeLoc"), Qt::Key_F1);
        QCOMPARE(Fake.Messages.size(), std::size_t{1});
        QCOMPARE(Fake.Messages[0].Title, QString("Tarkel's Ionvane"));
        QVERIFY(Fake.Messages[0].Icon == Dialogs::Icon::Information);
        QCOMPARE(Fake.Messages[0].Text, Window->HelpText());
        QCOMPARE(FocusName(), QString("txtHomeLoc"));
        QCOMPARE(Box("txtFromLoc")->text(), QString("IO90IR"));
    }

    void exitSavesAndTheNextStartShowsIt() {
        Fake.Answers = {"120", "300"};
        Menu("mnuEsLayer")->trigger();
        Menu("mnuMASL")->trigger();
        Box("txtHomeLoc")->setText("JO65");
        Menu("mnuExit")->trigger();
        QVERIFY(!Window->isVisible());
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("JO65\r\n120\r\n0.3\r\n"));
        Window.reset();
        Start();
        QCOMPARE(Box("txtHomeLoc")->text(), QString("JO65"));
        QCOMPARE(Label("lblEsLayerHeight")->text(), QString("e layer height = 120km"));
        QCOMPARE(Label("lblMASL")->text(), QString("MASL = 300m"));
    }

    void readOnlyProgramDirectoryFallsBackToTheUserDirectory() {
        Window.reset();
        // New files cannot be made in /proc, not even by the superuser.
        Window = std::make_unique<frmMUF>(Fake, SettingsPlaces{"/proc", UserDir->path()},
                                          QLocale(QLocale::English, QLocale::UnitedStates));
        Window->findChild<QLineEdit *>("txtHomeLoc")->setText("KN16");
        Close();
        QCOMPARE(ReadAll(UserDir->filePath("homeloc.dat")), QByteArray("KN16\r\n110\r\n0.15\r\n"));
        Window = std::make_unique<frmMUF>(Fake, SettingsPlaces{"/proc", UserDir->path()},
                                          QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(Box("txtHomeLoc")->text(), QString("KN16"));
    }

    void failedSaveLeavesTheOldFileWhole() {
        Window.reset();
        WriteAll(SettingsPath(), "IO91WM\r\n100\r\n0.35\r\n");
        Start();
        Box("txtHomeLoc")->setText("JN77EX");
        {
            const ionvane::testing::FullDisk full;
            Close();
        }
        QVERIFY(Fake.Messages.empty());
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("IO91WM\r\n100\r\n0.35\r\n"));
    }

    void pastedSpotFillsTheBoxesAndCalculates() {
        Box("txtHomeLoc")->setText("IO90IR");
        QGuiApplication::clipboard()->setText(
            "DX de DK7UK:     50099.0  EA5/ON4CAU   JN48QT<ES>IM98 QRP 5W LOOP ANT 1206Z\n");
        Box("txtFromLoc")->setFocus();
        QTest::keyClick(Box("txtFromLoc"), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Box("txtFromLoc")->text(), QString("JN48QT"));
        QCOMPARE(Box("txtToLoc")->text(), QString("IM98"));
        QCOMPARE(Box("txtFreq")->text(), QString("50.099"));
        QCOMPARE(Label("lblAZResult")->text(), QString("es from JN48QT to IM98MM on 50.099mhz"));
        QCOMPARE(Window->windowTitle(), QString("MUF = 57.23mhz,  try towards JM36UP"));
        QCOMPARE(FocusName(), QString("txtFromLoc"));
        QVERIFY(Fake.Messages.empty());
    }

    // Polish number format: decimal comma, no-break space between groups. The pasted spot's
    // frequency goes into the box in that form and the results show it so.
    void pastedSpotInARegionalFormat_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("result");
        const QString acceptance =
            "DX de DK7UK:     50313.0  EA8XXX       JN48<ES>IL18 FT8 -12dB         1206Z";
        QTest::newRow("pl_PL") << "pl_PL" << acceptance << "50,313"
                               << "es from JN48MM to IL18MM on 50,313mhz";
        QTest::newRow("de_DE") << "de_DE" << acceptance << "50,313"
                               << "es from JN48MM to IL18MM on 50,313mhz";
        QTest::newRow("fr_FR") << "fr_FR" << acceptance << "50,313"
                               << "es from JN48MM to IL18MM on 50,313mhz";
        QTest::newRow("tr_TR") << "tr_TR"
                               << "144.174 io91vl<ES>jn58td"
                               << "144,174"
                               << "es from IO91VL to JN58TD on 144,174mhz";
        QTest::newRow("en_US") << "en_US" << acceptance << "50.313"
                               << "es from JN48MM to IL18MM on 50.313mhz";
        QTest::newRow("finer than the box") << "pl_PL"
                                            << "DX de DK7UK: 144174.25 OH60AA JN48 IL18 1206Z"
                                            << "144,17425"
                                            << "es from JN48MM to IL18MM on 144,1743mhz";
    }
    void pastedSpotInARegionalFormat() {
        QFETCH(QString, locale);
        QFETCH(QString, clip);
        QFETCH(QString, box);
        QFETCH(QString, result);
        Window = std::make_unique<frmMUF>(Fake, SettingsPlaces{ProgramDir->path(), UserDir->path()},
                                          QLocale(locale));
        Window->show();
        Box("txtHomeLoc")->setText("JO90");
        QGuiApplication::clipboard()->setText(clip);
        Menu("mnuPasteSpot")->trigger();
        QVERIFY(Fake.Messages.empty());
        QCOMPARE(Box("txtFreq")->text(), box);
        QCOMPARE(Label("lblAZResult")->text(), result);
        QVERIFY(!Label("lblFOT")->text().isEmpty());
    }

    void spotOfAnotherModeIsCalculatedWithANote() {
        Box("txtHomeLoc")->setText("IO90IR");
        QGuiApplication::clipboard()->setText("DX de DK7UK: 144100.0 W5XX EM12<EME>JO31 1206Z");
        Menu("mnuPasteSpot")->trigger();
        QCOMPARE(Label("lblAZResult")->text(),
                 QString("es from EM12MM to JO31MM on 144.1mhz  (tagged EME, not Es)"));
        QVERIFY(!Label("lblFOT")->text().isEmpty());
        QVERIFY(Fake.Messages.empty());
        // An Es spot after it shows no note.
        QGuiApplication::clipboard()->setText("DX de DK7UK: 50313.0 EA8XXX JN48<ES>IL18 1206Z");
        Menu("mnuPasteSpot")->trigger();
        QCOMPARE(Label("lblAZResult")->text(), QString("es from JN48MM to IL18MM on 50.313mhz"));
    }

    void spotWhoseOnlyLocatorIsTheSpottersGridIsRefused() {
        QGuiApplication::clipboard()->setText("DX de OZ1XX: 50313.0 9H1XX JO55 FT8 2016Z JO55\a\a");
        Menu("mnuPasteSpot")->trigger();
        QCOMPARE(Fake.Messages.size(), std::size_t{1});
        QCOMPARE(Fake.Messages[0].Text, QString("Both locators of the spot name the same place"));
        QVERIFY(Label("lblAZResult")->text().isEmpty());
    }

    void badSpotSaysWhatIsMissingAndChangesNothing_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("message");
        QTest::newRow("talk") << "73 de DK7UK"
                              << "Not a spot";
        QTest::newRow("announcement") << "To ALL de DL1ABC: Es on 50313 from JN48 to IM98"
                                      << "Not a spot";
        QTest::newRow("one locator") << "DX de DK7UK:  50099.0  EA5/ON4CAU  JN48QT 599  1206Z"
                                     << "Only one locator found in the spot";
        QTest::newRow("no frequency") << "IO90IR<ES>JN77EX"
                                      << "No frequency found in the spot";
        QTest::newRow("empty") << ""
                               << "No locators found in the spot";
    }
    void badSpotSaysWhatIsMissingAndChangesNothing() {
        QFETCH(QString, clip);
        QFETCH(QString, message);
        Box("txtFromLoc")->setText("IO91");
        Box("txtToLoc")->setText("JN58");
        Box("txtFreq")->setText("50.2");
        QGuiApplication::clipboard()->setText(clip);
        Menu("mnuPasteSpot")->trigger();
        QCOMPARE(Fake.Messages.size(), std::size_t{1});
        QCOMPARE(Fake.Messages[0].Text, message);
        QCOMPARE(Box("txtFromLoc")->text(), QString("IO91"));
        QCOMPARE(Box("txtToLoc")->text(), QString("JN58"));
        QCOMPARE(Box("txtFreq")->text(), QString("50.2"));
        QVERIFY(Label("lblAZResult")->text().isEmpty());
    }

    void droppedSpotIsReadLikeAPastedOne() {
        Box("txtHomeLoc")->setText("IO90IR");
        QMimeData mime;
        mime.setText("144.174 io91vl<ES>jn58td");
        const QPointF at(100, 100);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Window.get(), &drop);
        QCOMPARE(Label("lblAZResult")->text(), QString("es from IO91VL to JN58TD on 144.174mhz"));
        QCOMPARE(Box("txtFreq")->text(), QString("144.174"));
    }

    void tabGoesThroughTheInputsAndButtons() {
        Box("txtFromLoc")->setFocus();
        for (const char *next : {"txtToLoc", "txtFreq", "txtHomeLoc", "cmdCalcMUF", "cmdClear"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(FocusName(), QString(next));
        }
    }

    // Each control where the window's layout puts it (twips / 15 at 96 dpi), with its font size
    // (every font bold), its text colour and its alignment.
    void controlsHaveTheirPlaceFontColourAndAlignment_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<double>("points");
        QTest::addColumn<QColor>("colour"); // text on the window background; none for boxes
        QTest::addColumn<int>("alignment");
        const QColor lightYellow(255, 255, 192);
        const QColor yellow(255, 255, 0);
        const QColor none;
        const int centred = Qt::AlignHCenter | Qt::AlignVCenter;
        const auto row = [](const char *name, QRect place, double points, QColor colour,
                            int alignment) {
            QTest::newRow(name) << QString(name) << place << points << colour << alignment;
        };
        row("lblFromLoc", {16, 8, 97, 17}, 8.25, lightYellow, centred);
        row("txtFromLoc", {32, 24, 65, 25}, 8.25, none, centred);
        row("lblToLoc", {136, 8, 81, 17}, 8.25, lightYellow, centred);
        row("txtToLoc", {144, 24, 65, 25}, 8.25, none, centred);
        row("lblFreq", {248, 8, 73, 17}, 8.25, lightYellow, centred);
        row("txtFreq", {256, 24, 57, 25}, 8.25, none, centred);
        row("lblHomeLoc", {328, 8, 105, 17}, 8.25, lightYellow, centred);
        row("txtHomeLoc", {352, 24, 57, 25}, 8.25, none, centred);
        row("lblEsLayerHeight", {8, 56, 145, 17}, 8.25, lightYellow,
            Qt::AlignRight | Qt::AlignVCenter);
        row("cmdCalcMUF", {160, 56, 89, 25}, 8.25, none, 0);
        // 95 rather than 89 pixels wide, up to the Clear button: "MASL = 5,000m" fits whole.
        row("lblMASL", {256, 56, 95, 17}, 8.25, lightYellow, Qt::AlignLeft | Qt::AlignVCenter);
        row("cmdClear", {352, 56, 57, 25}, 8.25, none, 0);
        row("lblAZResult", {8, 88, 425, 17}, 8.25, lightYellow, centred);
        row("lblAzResult2", {8, 112, 425, 17}, 8.25, lightYellow, centred);
        row("lblMidPoint", {8, 136, 425, 17}, 8.25, lightYellow, centred);
        row("lblMUFqth", {8, 160, 425, 25}, 11.25, yellow, centred);
        row("lblMUFqth2", {8, 192, 425, 17}, 8.25, lightYellow, centred);
        row("lblFOT", {0, 216, 441, 17}, 9.0, yellow, centred);
    }
    void controlsHaveTheirPlaceFontColourAndAlignment() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(double, points);
        QFETCH(QColor, colour);
        QFETCH(int, alignment);
        QCOMPARE(Window->centralWidget()->size(), QSize(445, 242));
        auto *control = Window->findChild<QWidget *>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->geometry(), place);
        QVERIFY(control->font().bold());
        QCOMPARE(control->font().pointSizeF(), points);
        const QColor background = Window->centralWidget()->palette().color(QPalette::Window);
        QCOMPARE(background, Window->palette().color(QPalette::Highlight));
        if (auto *label = qobject_cast<QLabel *>(control)) {
            QCOMPARE(label->palette().color(QPalette::WindowText), colour);
            QCOMPARE(static_cast<int>(label->alignment()), alignment);
        } else if (auto *box = qobject_cast<QLineEdit *>(control)) {
            // The system tool-tip background with text in the system highlight colour.
            QCOMPARE(box->palette().color(QPalette::Base),
                     QApplication::palette().color(QPalette::ToolTipBase));
            QCOMPARE(box->palette().color(QPalette::Text), background);
            QCOMPARE(static_cast<int>(box->alignment()), alignment);
        }
    }

    // Captions and tool tips, and each box's limit on what is typed and what is pasted.
    // State: a window in a decimal-comma region. Action: "50.1" typed key by key, then pasted,
    // then Calculate. Expected: no message at the point, and the frequency read as 50.1 MHz.
    void pointIsADecimalPointInEveryRegion_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("tip");
        QTest::newRow("de_DE") << "de_DE"
                               << "Enter a frequency like 50.2 or 122.7 (or 50,2 or 122,7)";
        QTest::newRow("pl_PL") << "pl_PL"
                               << "Enter a frequency like 50.2 or 122.7 (or 50,2 or 122,7)";
    }
    void pointIsADecimalPointInEveryRegion() {
        QFETCH(QString, locale);
        QFETCH(QString, tip);
        Start(nullptr, QLocale(locale));
        QCOMPARE(Box("txtFreq")->toolTip(), tip);
        Box("txtHomeLoc")->setText("JO62QM");
        Box("txtFromLoc")->setText("IO90IR");
        Box("txtToLoc")->setText("JN77EX");
        TypeInto("txtFreq", "50.1");
        QCOMPARE(Box("txtFreq")->text(), QString("50.1"));
        Box("txtFreq")->clear();
        QGuiApplication::clipboard()->setText("50.1");
        QTest::keyClick(Box("txtFreq"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Box("txtFreq")->text(), QString("50.1"));
        QVERIFY(Fake.Messages.empty());
        Button("cmdCalcMUF")->click();
        QCOMPARE(Label("lblAZResult")->text(), QString("es from IO90IR to JN77EX on 50,1mhz"));
        QCOMPARE(Window->windowTitle(), QString("MUF = 62,96mhz,  try towards JN06LJ"));
    }

    void captionsTipsAndLimits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("typed");  // typed into the box, one key at a time
        QTest::addColumn<QString>("pasted"); // then pasted over the whole box
        QTest::addColumn<QString>("kept");   // what the box holds after each
        const QString locatorTip("Enter a 4 digit or 6 digit locator like IO90 or JN77EX");
        QTest::newRow("lblFromLoc")
            << "lblFromLoc"
            << "From locator" << QString() << QString() << QString() << QString();
        QTest::newRow("lblToLoc") << "lblToLoc"
                                  << "To locator" << QString() << QString() << QString()
                                  << QString();
        QTest::newRow("lblFreq") << "lblFreq"
                                 << "Frequency" << QString() << QString() << QString() << QString();
        QTest::newRow("lblHomeLoc")
            << "lblHomeLoc"
            << "Home locator" << QString() << QString() << QString() << QString();
        QTest::newRow("txtFromLoc") << "txtFromLoc" << QString() << locatorTip << "io90irab"
                                    << "JN77EXAB"
                                    << "IO90IR|JN77EX";
        QTest::newRow("txtToLoc") << "txtToLoc" << QString() << locatorTip << "jn77exab"
                                  << "IO90IRAB"
                                  << "JN77EX|IO90IR";
        QTest::newRow("txtHomeLoc") << "txtHomeLoc" << QString() << locatorTip << "jo62qmab"
                                    << "JO62QMAB"
                                    << "JO62QM|JO62QM";
        QTest::newRow("txtFreq") << "txtFreq" << QString() << "Enter a frequency like 50.2 or 122.7"
                                 << "144.17456"
                                 << "50.31234"
                                 << "144.174|50.3123";
        QTest::newRow("cmdCalcMUF")
            << "cmdCalcMUF"
            << "&Calculate" << QString() << QString() << QString() << QString();
        QTest::newRow("cmdClear") << "cmdClear"
                                  << "C&lear"
                                  << "This will clear From and To Loc and Freq" << QString()
                                  << QString() << QString();
    }
    void captionsTipsAndLimits() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        auto *control = Window->findChild<QWidget *>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->toolTip(), tip);
        if (auto *label = qobject_cast<QLabel *>(control)) {
            QCOMPARE(label->text(), caption);
        } else if (auto *button = qobject_cast<QPushButton *>(control)) {
            QCOMPARE(button->text(), caption);
            // Enter anywhere in the window never presses Calculate by itself.
            QVERIFY(!button->isDefault() && !button->autoDefault());
        } else {
            auto *box = qobject_cast<QLineEdit *>(control);
            QVERIFY(box != nullptr);
            TypeInto(name.toLatin1().constData(), typed);
            QCOMPARE(box->text() + "|", kept.section('|', 0, 0) + "|");
            QGuiApplication::clipboard()->setText(pasted);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box->text(), kept.section('|', 1, 1));
            QVERIFY(Fake.Messages.empty());
        }
    }

    // The File menu and Exit on the menu bar, in their order, with their shortcuts.
    void menuTreeHasItsItemsInOrder() {
        QStringList bar;
        for (QAction *item : Window->menuBar()->actions()) {
            bar << item->text();
        }
        QCOMPARE(bar, QStringList({"&File", "E&xit"}));
        QCOMPARE(Window->menuBar()->actions()[1], Menu("mnuExit"));
        auto *file = Window->findChild<QMenu *>("mnuFile");
        QStringList items;
        for (QAction *item : file->actions()) {
            items << item->objectName() + " " + item->text() + " " + item->shortcut().toString();
        }
        QCOMPARE(items,
                 QStringList({"mnuPasteSpot &Paste spot Ctrl+Shift+V", "  ",
                              "mnuHomeLoc &Set Home Loc Ctrl+H", "mnuEsLayer Set &e layer height ",
                              "mnuMASL Set &MASL ", "mnuDefaults Set De&faults ",
                              "mnuHelp &Help F1", "  ", "mnuLive &Live window "}));
    }

    // Every access key, pressed as keys: Alt+F then the item's letter, Alt+X, Alt+C and Alt+L.
    void accessKeysRunTheirCommands_data() {
        QTest::addColumn<int>("fileItemKey"); // after Alt+F; 0 for a key pressed with Alt
        QTest::addColumn<int>("altKey");
        QTest::addColumn<QString>("dialog"); // title of the dialog it opened
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("esLayer");
        QTest::addColumn<QString>("errorLine");
        QTest::addColumn<bool>("shown");
        const QString es95("e layer height = 95km");
        QTest::newRow("Alt+F S") << int(Qt::Key_S) << 0 << QString() << "txtHomeLoc" << es95
                                 << QString() << true;
        QTest::newRow("Alt+F E") << int(Qt::Key_E) << 0 << "es Layer Height?"
                                 << "txtToLoc" << es95 << QString() << true;
        QTest::newRow("Alt+F M") << int(Qt::Key_M) << 0 << "Height above sea level?"
                                 << "txtToLoc" << es95 << QString() << true;
        QTest::newRow("Alt+F F") << int(Qt::Key_F) << 0 << QString() << "txtToLoc"
                                 << "e layer height = 110km" << QString() << true;
        QTest::newRow("Alt+F H") << int(Qt::Key_H) << 0 << "Tarkel's Ionvane"
                                 << "txtToLoc" << es95 << QString() << true;
        QTest::newRow("Alt+F P") << int(Qt::Key_P) << 0 << "Paste spot"
                                 << "txtToLoc" << es95 << QString() << true;
        QTest::newRow("Alt+X") << 0 << int(Qt::Key_X) << QString() << QString() << es95 << QString()
                               << false;
        QTest::newRow("Alt+C") << 0 << int(Qt::Key_C) << QString() << "txtFreq" << es95
                               << "ERROR!! No working Frequency..!!" << true;
        QTest::newRow("Alt+L") << 0 << int(Qt::Key_L) << QString() << "txtFromLoc" << es95
                               << QString() << true;
    }
    void accessKeysRunTheirCommands() {
        QFETCH(int, fileItemKey);
        QFETCH(int, altKey);
        QFETCH(QString, dialog);
        QFETCH(QString, focus);
        QFETCH(QString, esLayer);
        QFETCH(QString, errorLine);
        QFETCH(bool, shown);
        Fake.Answers = {"95"};
        Menu("mnuEsLayer")->trigger();
        Fake.Prompts.clear();
        QGuiApplication::clipboard()->clear();
        TypeInto("txtToLoc", "jn77");
        if (fileItemKey != 0) {
            FileMenuKey(static_cast<Qt::Key>(fileItemKey));
        } else {
            Alt(static_cast<Qt::Key>(altKey));
        }
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        QStringList titles;
        for (const QString &prompt : Fake.Prompts) {
            titles << prompt.section('|', 1);
        }
        for (const Message &message : Fake.Messages) {
            titles << message.Title;
        }
        QCOMPARE(titles.join(","), dialog);
        QCOMPARE(Window->isVisible(), shown);
        if (shown) {
            QCOMPARE(FocusName(), focus);
        }
        QCOMPARE(Label("lblEsLayerHeight")->text(), esLayer);
        QCOMPARE(Label("lblMUFqth")->text(), errorLine);
        // Only Clear empties the To box.
        QCOMPARE(Box("txtToLoc")->text(), QString(altKey == Qt::Key_L ? "" : "JN77"));
    }

    // A button's access key acts at once: what is typed straight after it is never lost.
    void typingRightAfterAnAccessKeyGoesWhereTheCommandLeftTheFocus() {
        TypeInto("txtToLoc", "jn77ex");
        Alt(Qt::Key_L);
        QTest::keyClicks(QApplication::focusWidget(), "fe16ir");
        QCOMPARE(Box("txtFromLoc")->text(), QString("FE16IR"));
        QCOMPARE(Box("txtToLoc")->text(), QString());
        TypeInto("txtFreq", "50.1");
        Alt(Qt::Key_C);
        QTest::keyClicks(QApplication::focusWidget(), "jo");
        QCOMPARE(Box("txtToLoc")->text(), QString("JO")); // "To Locator missing!" focused it
        Box("txtHomeLoc")->setText("IO90IR");
        FileMenuKey(Qt::Key_S);
        QTest::keyClicks(QApplication::focusWidget(), "jn77");
        QCOMPARE(Box("txtHomeLoc")->text(), QString("JN77"));
    }

    // Every key that a box hears as a character puts the normal title back; keys that only move,
    // edit or leave the box do not.
    void titleRestoringKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text"); // as the keyboard sends it
        QTest::addColumn<bool>("restores");
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << true;
        QTest::newRow("digit") << int(Qt::Key_5) << 0 << "5" << true;
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << " " << true;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << true;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "\r" << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "\x1b" << true;
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "\x1a" << true;
        QTest::newRow("Left") << int(Qt::Key_Left) << 0 << "" << false;
        QTest::newRow("Home") << int(Qt::Key_Home) << 0 << "" << false;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "\x7f" << false;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << "\t" << false;
        QTest::newRow("F2") << int(Qt::Key_F2) << 0 << "" << false;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "" << false;
    }
    void titleRestoringKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, restores);
        const QString result("MUF = 62.96mhz,  try towards JN77EX");
        for (const char *box : {"txtFromLoc", "txtToLoc", "txtFreq", "txtHomeLoc"}) {
            Window->setWindowTitle(result);
            Box(box)->setFocus();
            QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
            QCoreApplication::sendEvent(Box(box), &press);
            QCOMPARE(Window->windowTitle(), restores ? QString("Ionvane by Tarkel") : result);
        }
    }

    void enterOnAFocusedClearClears() {
        TypeInto("txtToLoc", "jn77ex");
        Button("cmdClear")->setFocus();
        Enter();
        QCOMPARE(Box("txtToLoc")->text(), QString());
        QCOMPARE(FocusName(), QString("txtFromLoc"));
    }

    // The desktop's own message box: over the window, with its title, icon and one OK button,
    // and the focus back in the box after it.
    void realHelpBoxOpensOverTheWindowAndGivesTheFocusBack() {
        QtDialogs real;
        Window.reset();
        Start(&real);
        // Room above: the help box, country file line and all, is taller than the window, and
        // the screen's edge would push it down from the centre.
        Window->move(0, 100);
        TypeInto("txtToLoc", "jn77ex");
        QString title;
        QString text;
        int icon = -1;
        int buttons = 0;
        bool overTheWindow = false;
        bool modal = false;
        bool centred = false;
        WhenDialogOpens([&](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            if (box != nullptr) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                buttons = box->standardButtons();
                overTheWindow = box->parentWidget() == Window.get();
                modal = box->isModal();
                const QPoint offCentre =
                    box->frameGeometry().center() - Window->frameGeometry().center();
                centred = offCentre.manhattanLength() <= 2;
            }
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QTest::keyClick(Box("txtToLoc"), Qt::Key_F1);
        QCOMPARE(title, QString("Tarkel's Ionvane"));
        QCOMPARE(text, Window->HelpText());
        QCOMPARE(icon, int(QMessageBox::Information));
        QCOMPARE(buttons, int(QMessageBox::Ok));
        QVERIFY(overTheWindow);
        QVERIFY(modal);
        QVERIFY(centred);
        BackToTheWindow();
        QCOMPARE(FocusName(), QString("txtToLoc"));
        QCOMPARE(Box("txtToLoc")->text(), QString("JN77EX"));

        // The frequency check's box is a stop box; after it the frequency box is empty and focused.
        WhenDialogOpens([&](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            title = box != nullptr ? box->windowTitle() + " " + box->text() : QString();
            icon = box != nullptr ? box->icon() : -1;
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        TypeInto("txtFreq", "5a");
        QCOMPARE(title, QString("Number...... ONLY FREQUENCY NUMBER!!!!"));
        QCOMPARE(icon, int(QMessageBox::Critical));
        BackToTheWindow();
        QCOMPARE(Box("txtFreq")->text(), QString());
        QCOMPARE(FocusName(), QString("txtFreq"));
    }

    // The desktop's own input box: its title and prompt, the typed answer taken on Enter, nothing
    // on Escape, and the focus back where it was.
    void realInputBoxAnswersAndCancels() {
        QtDialogs real;
        Window.reset();
        Start(&real);
        Box("txtFromLoc")->setFocus();
        QString seen;
        const auto answer = [&](const QString &typed, Qt::Key closeWith) {
            WhenDialogOpens([&seen, typed, closeWith](QWidget *dialog) {
                auto *input = qobject_cast<QInputDialog *>(dialog);
                seen = input != nullptr ? input->windowTitle() + "|" + input->labelText() : "";
                auto *edit = dialog->findChild<QLineEdit *>();
                if (edit != nullptr) {
                    QTest::keyClicks(edit, typed);
                }
                QTest::keyClick(edit != nullptr ? static_cast<QWidget *>(edit) : dialog, closeWith);
            });
        };
        answer("120", Qt::Key_Return);
        FileMenuKey(Qt::Key_E);
        QCOMPARE(seen, QString("es Layer Height?|Please enter a number between 90 and 130"));
        QCOMPARE(Label("lblEsLayerHeight")->text(), QString("e layer height = 120km"));
        BackToTheWindow();
        QCOMPARE(FocusName(), QString("txtFromLoc"));
        answer("2000", Qt::Key_Escape);
        FileMenuKey(Qt::Key_M);
        QCOMPARE(seen, QString("Height above sea level?|Please enter a number between 1 and 5000.\n"
                               "NOTE: this only sets your masl, the dx masl is set at 150m."));
        QCOMPARE(Label("lblMASL")->text(), QString("MASL = 150m"));
        BackToTheWindow();
        QCOMPARE(FocusName(), QString("txtFromLoc"));
    }

    // A settings file made read-only (mode 444) is left exactly as it was, silently, and no new
    // file is left beside it.
    void readOnlySettingsFileIsLeftAlone() {
        Window.reset();
        const QByteArray before("IO91WM\r\n100\r\n0.35\r\n");
        WriteAll(SettingsPath(), before);
        QFile::setPermissions(SettingsPath(),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        Start();
        Fake.Answers = {"120"};
        Menu("mnuEsLayer")->trigger();
        TypeInto("txtHomeLoc", "\bX");
        Menu("mnuExit")->trigger();
        QVERIFY(!Window->isVisible());
        QCOMPARE(ReadAll(SettingsPath()), before);
        QCOMPARE(FilesBesideTheProgram(), QStringList({"homeloc.dat"}));
        QVERIFY(Fake.Messages.empty());
    }

    // Text the program sets is kept whole: a first line longer than a locator is shown and saved
    // back as it was, while typing still stops at six characters.
    void longFirstLineIsShownWholeAndTypingStillStops() {
        Window.reset();
        const QByteArray before("IO90IRXY\r\n110\r\n0.15\r\n");
        WriteAll(SettingsPath(), before);
        Start();
        QCOMPARE(Box("txtHomeLoc")->text(), QString("IO90IRXY"));
        Close();
        QCOMPARE(ReadAll(SettingsPath()), before);
        Start();
        Box("txtHomeLoc")->setFocus();
        QTest::keyClick(Box("txtHomeLoc"), Qt::Key_End);
        QTest::keyClicks(Box("txtHomeLoc"), "z");
        QCOMPARE(Box("txtHomeLoc")->text(), QString("IO90IRXY"));
        QTest::keyClick(Box("txtHomeLoc"), Qt::Key_Backspace);
        QTest::keyClicks(Box("txtHomeLoc"), "z");
        QCOMPARE(Box("txtHomeLoc")->text(), QString("IO90IRX")); // still past six: no more
        // Deleting in the middle keeps the cursor where it was.
        QTest::keyClick(Box("txtHomeLoc"), Qt::Key_Home);
        QTest::keyClick(Box("txtHomeLoc"), Qt::Key_Delete);
        QCOMPARE(Box("txtHomeLoc")->cursorPosition(), 0);
        QTest::keyClick(Box("txtHomeLoc"), Qt::Key_Delete);
        QTest::keyClicks(Box("txtHomeLoc"), "j");
        QCOMPARE(Box("txtHomeLoc")->text(), QString("J90IRX"));
        QTest::keyClicks(Box("txtHomeLoc"), "k");
        QCOMPARE(Box("txtHomeLoc")->text(), QString("J90IRX"));
    }

    // A pasted spot's frequency keeps all its digits, as the command line keeps them.
    void pastedSpotKeepsItsWholeFrequency() {
        Box("txtHomeLoc")->setText("IO90IR");
        QGuiApplication::clipboard()->setText("144.1745 io91vl<ES>jn58td");
        Box("txtFromLoc")->setFocus();
        FileMenuKey(Qt::Key_P);
        QCOMPARE(Box("txtFreq")->text(), QString("144.1745"));
        QCOMPARE(Label("lblAZResult")->text(), QString("es from IO91VL to JN58TD on 144.1745mhz"));
    }

    // A first line in a single-byte code page (é typed in a Windows editor) is shown as that
    // letter and written back byte for byte while unchanged; a new home is written as typed.
    void singleByteFirstLineIsShownAndKept() {
        Window.reset();
        const QByteArray before("JN18d\xe9\r\n100\r\n0.35\r\n");
        WriteAll(SettingsPath(), before);
        Start();
        QCOMPARE(Box("txtHomeLoc")->text(), QString::fromUtf8("JN18d\u00e9"));
        Fake.Answers = {"120"};
        Menu("mnuEsLayer")->trigger();
        Close();
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("JN18d\xe9\r\n120\r\n0.35\r\n"));
        Start();
        Box("txtHomeLoc")->clear();
        TypeInto("txtHomeLoc", "jn18du");
        Close();
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("JN18DU\r\n120\r\n0.35\r\n"));
    }

    // The program's quit (also how a desktop session ending closes it) saves the settings once.
    void quitSavesTheSettings() {
        TypeInto("txtHomeLoc", "ko85");
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("KO85\r\n110\r\n0.15\r\n"));
        QFile::remove(SettingsPath());
        Close();
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("<missing>"));
    }

    // The window in German: the worked example with German separators, the settings saved so.
    void germanWindow() {
        Window.reset();
        WriteAll(SettingsPath(), "IO90IR\r\n100,5\r\n0,35\r\n");
        Start(nullptr, QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(Label("lblMASL")->text(), QString("MASL = 350m"));
        Fake.Answers = {"5000"};
        Menu("mnuMASL")->trigger();
        QCOMPARE(Label("lblMASL")->text(), QString("MASL = 5.000m"));
        Menu("mnuDefaults")->trigger();
        TypeInto("txtFromLoc", "io90ir");
        TypeInto("txtToLoc", "jn77ex");
        TypeInto("txtFreq", "50,1");
        QVERIFY(Fake.Messages.empty());
        QCOMPARE(Box("txtFreq")->text(), QString("50,1"));
        Box("txtFreq")->setText("50.1");
        Alt(Qt::Key_C);
        QCOMPARE(Label("lblAzResult2")->text(),
                 QString("(Azimuth = 99,52)   (Elevation = 7,88deg)   (Distance = 1.172,77km)"));
        QCOMPARE(Window->windowTitle(), QString("MUF = 62,96mhz,  try towards JN77EX"));
        Fake.Answers = {"95,5"};
        Menu("mnuEsLayer")->trigger();
        Close();
        QCOMPARE(ReadAll(SettingsPath()), QByteArray("IO90IR\r\n96\r\n0,15\r\n"));
    }

    void helpNamesTheCountryFile() {
        // State: the country file missing, naming its version among its aliases, or with an
        // alias that only looks like one (a digit short, a digit over). Expected: the help
        // message's last line says where the file is and its version, else the file's own date.
        QTemporaryDir dir;
        const QString entity =
            "Canary Islands:           33:  36:  AF:   28.32:    15.85:     0.0:  EA8:\n";
        const QDateTime dated(QDate(2026, 11, 30), QTime(23, 30), QTimeZone::utc());
        const struct {
            const char *Name;
            const char *Aliases;
            QString Expected;
        } cases[] = {
            {"versioned.dat", "    AM8,EA8,=VER20240105,=EA8URL/P;\n", ", version 2024-01-05"},
            {"last.dat", "    AM8,EA8,=VER20231219;\n", ", version 2023-12-19"},
            {"short.dat", "    AM8,EA8,=VER2024010;\n", ", dated 2026-11-30"},
            {"long.dat", "    AM8,=VER202401051,EA8;\n", ", dated 2026-11-30"},
        };
        for (const auto &c : cases) {
            QFile file(dir.filePath(c.Name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write((entity + c.Aliases).toUtf8());
            file.flush();
            QVERIFY(file.setFileTime(dated, QFileDevice::FileModificationTime));
            file.close();
            Window->SetCountryFile(file.fileName());
            QCOMPARE(Window->HelpText().section('\n', -1),
                     "Country file: " + file.fileName() + c.Expected);
        }
        Window->SetCountryFile(dir.filePath("cty.dat"));
        QCOMPARE(Window->HelpText().section('\n', -1),
                 "Country file: none found at " + dir.filePath("cty.dat") +
                     ": calls without a locator are placed by the grid memory only");
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
