// The end of the desktop session: SIGTERM reaches the program as a signal of its event loop, and
// both windows save what was changed since the start, as on Exit.
#include "live_window_fixture.h"

#include "window/session_end.h"

#include <QSettings>

#include <csignal>
#include <unistd.h>

namespace {

class Answering : public window::Dialogs {
  public:
    void OpenOver(QWidget * /*window*/) override {}
    void ShowMessage(const QString & /*text*/, const QString & /*title*/, Icon /*icon*/) override {}
    QString AskText(const QString & /*prompt*/, const QString & /*title*/) override {
        return "123";
    }
};

} // namespace

class SessionEndTest : public QObject, LiveWindowFixture {
    Q_OBJECT

  private slots:
    void init() { Init(); }

    void sigtermSavesBothWindows() {
        // State: the E-layer height set to 123 in the calculator, the live window open; the
        // session's end wired as the program wires it. Action: SIGTERM to the process.
        // Expected: the program's loop ends, homeloc.dat says 123 and live.ini has the live
        // window's geometry.
        QTemporaryDir programDir;
        Answering dialogs;
        window::frmMUF calculator(
            dialogs, window::SettingsPlaces{programDir.path(), ConfigDir->path()}, QLocale::c());
        calculator.findChild<QAction *>("mnuEsLayer")->trigger();
        frmLive live(Setup());
        calculator.show();
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));

        window::SessionEnd sessionEnd;
        QVERIFY(sessionEnd.Catching());
        connect(&sessionEnd, &window::SessionEnd::ending, qApp, [] {
            QApplication::closeAllWindows();
            QApplication::quit();
        });
        QTimer::singleShot(0, [] { ::kill(::getpid(), SIGTERM); });
        QApplication::exec();

        QFile saved(QDir(programDir.path()).filePath(window::SettingsFileName));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().split('\n').value(1), QByteArray("123\r"));
        const QSettings liveIni(ConfigDir->filePath("live.ini"), QSettings::IniFormat);
        QVERIFY(!liveIni.value("live/geometry").toByteArray().isEmpty());
    }
};

QTEST_MAIN(SessionEndTest)
#include "session_end_test.moc"
