// The main window driven as a user drives it: keystrokes, clicks, menus, stand-in dialogs, and the
// settings file in temporary directories.
#include "full_disk.h"
#include "window/main_window.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <deque>
#include <memory>
#include <sys/resource.h>

using namespace ionvane::window;

namespace {

struct Message {
    QString Text, Title;
    Dialogs::Icon Icon;
};

// Answers input boxes from a queue and records every message box.
class FakeDialogs : public Dialogs {
  public:
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
    void Start() {
        Window = std::make_unique<frmMUF>(Fake, SettingsPlaces{ProgramDir->path(), UserDir->path()},
                                          QLocale(QLocale::English, QLocale::UnitedStates));
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

    void anyKeyInABoxRestoresTheTitle() {
        for (const char *box : {"txtFromLoc", "txtToLoc", "txtFreq", "txtHomeLoc"}) {
            Window->setWindowTitle("MUF = 62.96mhz,  try towards JN77EX");
            Box(box)->setFocus();
            QTest::keyClick(Box(box), Qt::Key_Backspace);
            QCOMPARE(Window->windowTitle(), QString("Ionvane by Tarkel"));
        }
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
        QTest::newRow("no frequency") << "IO90IR"
                                      << "JN77EX"
                                      << ""
                                      << "IO90IR"
                                      << "ERROR!! No working Frequency..!!"
                                      << "txtFreq";
        QTest::newRow("short From") << "IO9"
                                    << "JN77EX"
                                    << "50"
                                    << "IO90IR"
                                    << "ERROR!! From Locator < 4 Characters!"
                                    << "txtFromLoc";
        QTest::newRow("missing To") << "IO90IR"
                                    << ""
                                    << "50"
                                    << "IO90IR"
                                    << "ERROR!! To Locator missing!"
                                    << "txtToLoc";
        QTest::newRow("bad To character") << "IO90IR"
                                          << "JN77EY"
                                          << "50"
                                          << "IO90IR"
                                          << "ERROR!! To Locator Character 6 invalid!"
                                          << "txtToLoc";
        QTest::newRow("bad home") << "IO90IR"
                                  << "JN77EX"
                                  << "50"
                                  << "IO9"
                                  << "ERROR!! Home Locator Character 4 invalid!"
                                  << "txtHomeLoc";
        QTest::newRow("antipodal") << "FE16IR"
                                   << "ON13IG"
                                   << "50"
                                   << "IO90IR"
                                   << "ERROR!! From and To Locators are antipodal!"
                                   << "txtToLoc";
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
        QTest::newRow("too high") << QByteArray("IO91WM\r\n131\r\n6\r\n") << "IO91WM"
                                  << "e layer height = 110km"
                                  << "MASL = 150m";
        QTest::newRow("too low") << QByteArray("IO91WM\r\n89\r\n0\r\n") << "IO91WM"
                                 << "e layer height = 110km"
                                 << "MASL = 150m";
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
        Box("txtFreq")->setFocus();
        QTest::keyClick(Box("txtFreq"), Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(FocusName(), QString("txtHomeLoc"));
        QTest::keyClick(Box("txtHomeLoc"), Qt::Key_F1);
        QCOMPARE(Fake.Messages.size(), std::size_t{1});
        QCOMPARE(Fake.Messages[0].Title, QString("Tarkel's Ionvane"));
        QVERIFY(Fake.Messages[0].Icon == Dialogs::Icon::Information);
        QCOMPARE(Fake.Messages[0].Text, frmMUF::HelpText());
        QCOMPARE(FocusName(), QString("txtHomeLoc"));
        QCOMPARE(Box("txtFromLoc")->text(), QString("IO90IR"));
    }

    void helpTextHasNineLines() {
        const QStringList lines = frmMUF::HelpText().split('\n');
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[0], QString("Ionvane from Tarkel, I in no way take responsibility for "
                                   "inaccuracies in the calculations or any problems encountered "
                                   "with using this program "));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QString("USING IONVANE"));
        QCOMPARE(lines[3], QString("It's easy, just put in dx spots and the frequency from the "
                                   "cluster and hit calculate."));
        QCOMPARE(lines[4], QString("Make sure you have set the home locator.."));
        QCOMPARE(lines[5], QString());
        QVERIFY(lines[6].endsWith(','));
        QCOMPARE(lines[7], QString("most of the maths were solved by these guys :-)"));
        QVERIFY(lines[8].contains("issue tracker"));
        QVERIFY(!lines[8].contains('@'));
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
                                            << "144,174"
                                            << "es from JN48MM to IL18MM on 144,174mhz";
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
                              << "No locators found in the spot";
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

    void controlsCarryTheirNamesAndLimits() {
        QCOMPARE(Box("txtFromLoc")->maxLength(), 6);
        QCOMPARE(Box("txtToLoc")->maxLength(), 6);
        QCOMPARE(Box("txtHomeLoc")->maxLength(), 6);
        QCOMPARE(Box("txtFreq")->maxLength(), 7);
        QCOMPARE(Box("txtFreq")->toolTip(), QString("Enter a frequency like 50.2 or 122.7"));
        QCOMPARE(Button("cmdCalcMUF")->text(), QString("&Calculate"));
        QCOMPARE(Button("cmdClear")->toolTip(),
                 QString("This will clear From and To Loc and Freq"));
        QCOMPARE(Menu("mnuExit")->text(), QString("E&xit"));
        QCOMPARE(Menu("mnuHomeLoc")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
        QCOMPARE(Window->windowTitle(), QString("Ionvane by Tarkel"));
        // Tab order over the inputs and the two buttons.
        Box("txtFromLoc")->setFocus();
        for (const char *next : {"txtToLoc", "txtFreq", "txtHomeLoc", "cmdCalcMUF", "cmdClear"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(FocusName(), QString(next));
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
