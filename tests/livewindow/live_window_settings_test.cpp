// The live window's remembered geometry and settings, and the connection bars and their states.
#include "live_window_test.h"

#include <QAbstractButton>

void LiveWindowTest::geometryAndSplittersRemembered() {
    // State: a window resized and its splitters moved, then closed. Expected: the next window
    // opens at that size with the splitters where they were, and with the same alarm band.
    QList<int> sideMoved;
    {
        frmLive live(Setup());
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        live.resize(1000, 720);
        live.findChild<QSplitter *>("splitMain")->setSizes({700, 280});
        live.findChild<QSplitter *>("splitSide")->setSizes({400, 100, 150});
        // The band panel keeps its least height; the splitter says where it ended.
        sideMoved = live.findChild<QSplitter *>("splitSide")->sizes();
        live.findChild<QComboBox *>("cmbAlarmBand")->setCurrentIndex(1);
        QTest::qWait(0);
        live.close();
    }
    frmLive again(Setup());
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.size(), QSize(1000, 720));
    const QList<int> main = again.findChild<QSplitter *>("splitMain")->sizes();
    QCOMPARE(main.size(), 2);
    QVERIFY2(std::abs(main[0] - 700) <= 2, qPrintable(QString::number(main[0])));
    const QList<int> side = again.findChild<QSplitter *>("splitSide")->sizes();
    QCOMPARE(side.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(std::abs(side[i] - sideMoved[i]) <= 2, qPrintable(QString::number(side[i])));
    }
    QVERIFY2(sideMoved[0] > sideMoved[2],
             qPrintable(QString("%1 %2 %3").arg(sideMoved[0]).arg(sideMoved[1]).arg(sideMoved[2])));
    QCOMPARE(again.findChild<QComboBox *>("cmbAlarmBand")->currentIndex(), 1);
    QCOMPARE(again.Session().Core()->Snapshot().AlarmBand, spot::Band::M6);
}

void LiveWindowTest::feedSettingsRemembered() {
    // State: the first start: the public broker, 6 m, 4 m and 2 m, 10 m left out. Action:
    // another broker and 10 m added, the window closed. Expected: the next window has them.
    {
        frmLive live(Setup());
        QCOMPARE(live.findChild<QLineEdit *>("txtBroker")->text(),
                 QString("mqtt.pskreporter.info:1883"));
        QVERIFY(!live.findChild<QCheckBox *>("chkFeed10m")->isChecked());
        for (const char *band : {"chkFeed6m", "chkFeed4m", "chkFeed2m"}) {
            QVERIFY2(live.findChild<QCheckBox *>(band)->isChecked(), band);
        }
        QCOMPARE(live.findChild<QLabel *>("lblFeedState")->text(), QString("Not connected"));
        live.findChild<QLineEdit *>("txtBroker")->setText("127.0.0.1:1884");
        live.findChild<QCheckBox *>("chkFeed10m")->setChecked(true);
        live.findChild<QCheckBox *>("chkFeed4m")->setChecked(false);
        live.close();
    }
    frmLive again(Setup());
    QCOMPARE(again.findChild<QLineEdit *>("txtBroker")->text(), QString("127.0.0.1:1884"));
    QVERIFY(again.findChild<QCheckBox *>("chkFeed10m")->isChecked());
    QVERIFY(!again.findChild<QCheckBox *>("chkFeed4m")->isChecked());
    QVERIFY(again.findChild<QCheckBox *>("chkFeed2m")->isChecked());
}

void LiveWindowTest::passwordReadableByOthersIsNotUsed() {
    // State: a password file that others may read. Expected: the box stays empty and the
    // state says why; a private file fills the box (masked).
    QFile file(ConfigDir->filePath(cluster::ClusterPasswordFileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("secret");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    {
        frmLive live(Setup());
        QCOMPARE(live.findChild<QLineEdit *>("txtPassword")->text(), QString());
        QVERIFY(live.findChild<QLabel *>("lblClusterState")->text().contains("read by others"));
    }
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    frmLive live(Setup());
    auto *password = live.findChild<QLineEdit *>("txtPassword");
    QCOMPARE(password->text(), QString("secret"));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(live.findChild<QLabel *>("lblClusterState")->text(), QString("Not connected"));
}

void LiveWindowTest::connectionStateWords_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<int>("retryMs");
    QTest::addColumn<QString>("words");
    using K = cluster::ConnectionEvent::Kind;
    using R = cluster::Refusal;
    const auto row = [](const char *name, K kind, R why, const char *detail, int ms,
                        const char *words) {
        QTest::newRow(name) << static_cast<int>(kind) << static_cast<int>(why) << QString(detail)
                            << ms << QString(words);
    };
    row("connecting", K::Connecting, R::None, "db0xyz.net:7300", 0, "Connecting to db0xyz.net ...");
    row("logged in", K::LoggedIn, R::None, "db0xyz.net:7300 as DK7UK", 0,
        "Logged in to db0xyz.net");
    row("lost", K::Lost, R::None, "The remote host closed the connection", 0,
        "Lost: The remote host closed the connection");
    row("waiting whole seconds", K::Waiting, R::None, "", 40'000, "Lost, retrying in 40 s");
    // A wait is rounded up: the retry never comes before the time said.
    row("waiting rounded up", K::Waiting, R::None, "", 39'001, "Lost, retrying in 40 s");
    row("waiting minutes", K::Waiting, R::None, "", 150'000, "Lost, retrying in 2 min 30 s");
    row("waiting longest", K::Waiting, R::None, "", 600'000, "Lost, retrying in 10 min");
    row("refused", K::Refused, R::None, "Go away", 0, "Refused: the node says \"Go away\"");
    row("bad password", K::Refused, R::BadPassword, "Sorry, wrong password", 0,
        "Refused: wrong password, the node says \"Sorry, wrong password\"");
}

void LiveWindowTest::connectionStateWords() {
    QFETCH(int, kind);
    QFETCH(int, refusal);
    QFETCH(QString, detail);
    QFETCH(int, retryMs);
    QFETCH(QString, words);
    cluster::ConnectionEvent event;
    event.What = static_cast<cluster::ConnectionEvent::Kind>(kind);
    event.Why = static_cast<cluster::Refusal>(refusal);
    event.Detail = detail.toStdString();
    event.RetryIn = std::chrono::milliseconds(retryMs);
    QCOMPARE(livewindow::ClusterStateWords(event, "db0xyz.net"), words);
}

void LiveWindowTest::feedStateWords() {
    feed::FeedEvent event;
    event.Connection = feed::FeedConnection::Waiting;
    event.RetryIn = std::chrono::milliseconds(7'500);
    QCOMPARE(livewindow::FeedStateWords(event), QString("Lost, retrying in 8 s"));
    event.Connection = feed::FeedConnection::Subscribed;
    QCOMPARE(livewindow::FeedStateWords(event), QString("Receiving reports"));
    event.What = feed::FeedEvent::Kind::Spot;
    QCOMPARE(livewindow::FeedStateWords(event), QString());
}

void LiveWindowTest::clusterBarLogsInToFakeNodeAndFillsTable() {
    // State: a fake node on 127.0.0.1 replaying the opening. Action: host, port and call in
    // the bar, Connect. Expected: "Logged in to 127.0.0.1", the call sent, the commands sent
    // after login, the cloud in the table; Disconnect says so.
    testing::FakeNode node;
    QVERIFY(node.Listen());
    frmLive live(Setup());
    live.findChild<QLineEdit *>("txtClusterHost")->setText("127.0.0.1");
    live.findChild<QSpinBox *>("spnClusterPort")->setValue(node.Port());
    live.findChild<QLineEdit *>("txtCall")->setText("dk7uk");
    live.findChild<QLineEdit *>("txtCommands")->setText("set/ve7cc; sh/dx 5");
    auto *state = live.findChild<QLabel *>("lblClusterState");
    QCOMPARE(state->text(), QString("Not connected"));
    QList<QByteArray> lines;
    for (const CaptureRow &row : Capture) {
        lines << QByteArray::fromStdString(row.Line);
    }
    node.Replay(lines.mid(0, 4), 1);
    QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(state->text(), QString("Logged in to 127.0.0.1"), 5000);
    QCOMPARE(node.LoggedInCall(), QByteArray("DK7UK"));
    QTRY_COMPARE_WITH_TIMEOUT(live.findChild<QTableView *>("tblClouds")->model()->rowCount(), 1,
                              5000);
    QTRY_VERIFY_WITH_TIMEOUT(node.ReceivedLines().size() >= 3, 5000);
    QCOMPARE(node.ReceivedLines()[1].Line, QByteArray("set/ve7cc"));
    QCOMPARE(node.ReceivedLines()[2].Line, QByteArray("sh/dx 5"));
    QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
    QCOMPARE(state->text(), QString("Not connected"));
    // The bar is remembered for the next start and for ionvane-cli --cluster.
    const cluster::ClusterSettings saved = cluster::LoadClusterSettings(ConfigDir->path());
    QCOMPARE(saved.Host, QString("127.0.0.1"));
    QCOMPARE(saved.Call, QString("DK7UK"));
    QCOMPARE(saved.Commands, QStringList({"set/ve7cc", "sh/dx 5"}));
}

void LiveWindowTest::clusterBarRefusesACallThatIsNoCallSign() {
    // State: "DK7UK PASS" typed as the call. Action: Connect. Expected: the words of the
    // command line's --call, no session, nothing saved.
    frmLive live(Setup());
    live.findChild<QLineEdit *>("txtClusterHost")->setText("127.0.0.1");
    live.findChild<QLineEdit *>("txtCall")->setText("DK7UK PASS");
    QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
    QCOMPARE(live.findChild<QLabel *>("lblClusterState")->text(),
             QString("Call takes a call sign (letters, digits, / and -)"));
    QVERIFY(!live.Session().Core()->Snapshot().ClusterRunning);
    QVERIFY(cluster::LoadClusterSettings(ConfigDir->path()).Call.isEmpty());
}

void LiveWindowTest::refusalIsElidedAndNeverWidensTheWindow() {
    // State: a node that answers the call as to a second login; the window at its narrowest.
    // Action: Connect. Expected: "Refused: ..." with the node's words, cut to the width with
    // the whole text in the tool tip, and the window no wider.
    testing::FakeNodeScript script;
    script.Answer = testing::CallAnswer::OtherPort;
    testing::FakeNode node(script);
    QVERIFY(node.Listen());
    frmLive live(Setup());
    live.show();
    QVERIFY(QTest::qWaitForWindowExposed(&live));
    live.resize(live.minimumSizeHint());
    QTRY_COMPARE(live.width(), live.minimumSizeHint().width());
    live.findChild<QLineEdit *>("txtClusterHost")->setText("127.0.0.1");
    live.findChild<QSpinBox *>("spnClusterPort")->setValue(node.Port());
    live.findChild<QLineEdit *>("txtCall")->setText("DK7UK");
    auto *state = live.findChild<QLabel *>("lblClusterState");
    QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(state->text().startsWith("Refused: "), 5000);
    QCOMPARE(state->text(), QString("Refused: logged in on another port, the node says "
                                    "\"Sorry DK7UK you are connected to me on another port\""));
    state->repaint();
    QCOMPARE(live.width(), live.minimumSizeHint().width());
    QCOMPARE(state->toolTip(), state->text());
    // The core ended the session for good: the button offers a new start.
    QCOMPARE(live.findChild<QPushButton *>("cmdClusterConnect")->text(), QString("&Connect"));
    QVERIFY(!live.Session().Core()->Snapshot().ClusterRunning);
}

void LiveWindowTest::eachAltLetterLeadsToOneControl() {
    // State: the window as it opens. Expected: no two controls share an Alt letter: Qt would only
    // move the focus between them, and a button among them would never be pressed.
    frmLive live(Setup());
    QMap<QChar, QStringList> owners;
    const auto note = [&owners](const QString &text) {
        const qsizetype at = text.indexOf('&');
        if (at >= 0 && at + 1 < text.size()) {
            owners[text[at + 1].toLower()] << text;
        }
    };
    for (const QAbstractButton *button : live.findChildren<QAbstractButton *>()) {
        note(button->text());
    }
    for (const QLabel *label : live.findChildren<QLabel *>()) {
        if (label->buddy() != nullptr) {
            note(label->text());
        }
    }
    for (const QStringList &texts : owners) {
        QVERIFY2(texts.size() == 1, qPrintable(texts.join(", ")));
    }
}
