// The map moved as a user expects (wheel, drag, Home and keys), the picture it keeps between
// paints, and the changes that repaint it.
#include "map_view_test.h"

// A wheel notch zooms by 2^(1/4) about the cursor: the place under it stays put.
void MapViewTest::wheelZoomsAboutTheCursor() {
    QCOMPARE(View->ViewRadiusKm(), DefaultViewRadiusKm);
    const QPointF cursor(600, 150);
    const GeoPoint before = View->GeoPointAt(cursor);
    QWheelEvent in(cursor, View->mapToGlobal(cursor), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View.get(), &in);
    QCOMPARE(View->ViewRadiusKm(), 2522.689245761144);
    const GeoPoint after = View->GeoPointAt(cursor);
    QVERIFY(std::fabs(after.LatDeg - before.LatDeg) < 1e-9);
    QVERIFY(std::fabs(after.LonDeg - before.LonDeg) < 1e-9);
    // Zooming in stops at 100 km.
    for (int notch = 0; notch < 40; ++notch) {
        QWheelEvent more(cursor, View->mapToGlobal(cursor), QPoint(), QPoint(0, 120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View.get(), &more);
    }
    QCOMPARE(View->ViewRadiusKm(), MinViewRadiusKm);
}

// Dragging carries the map with the mouse; Home and the Home button bring it back.
void MapViewTest::dragPansAndHomeReturns() {
    const QPointF from(300, 200);
    const QPointF to(420, 260);
    const GeoPoint grabbed = View->GeoPointAt(from);
    QMouseEvent press(QEvent::MouseButtonPress, from, View->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View.get(), &press);
    QMouseEvent move(QEvent::MouseMove, to, View->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(View.get(), &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, View->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(View.get(), &release);
    const GeoPoint dropped = View->GeoPointAt(to);
    QVERIFY(std::fabs(dropped.LatDeg - grabbed.LatDeg) < 1e-9);
    QVERIFY(std::fabs(dropped.LonDeg - grabbed.LonDeg) < 1e-9);
    // 120 px right and 60 px down at 3,000 km per 300 px: 1,200 km west, 600 km north.
    QCOMPARE(View->ViewCentre().XKm, -1200.0);
    QCOMPARE(View->ViewCentre().YKm, 600.0);

    auto *button = View->findChild<QToolButton *>("cmdMapHome");
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(View->ViewCentre().XKm, 0.0);
    QCOMPARE(View->ViewCentre().YKm, 0.0);
    QCOMPARE(View->WidgetPoint(HomeIO90IR), QPointF(400, 300));

    View->show();
    QVERIFY(QTest::qWaitForWindowExposed(View.get()));
    View->setFocus();
    QTest::keyClick(View.get(), Qt::Key_Minus);
    QTest::keyClick(View.get(), Qt::Key_Left);
    QVERIFY(View->ViewRadiusKm() > DefaultViewRadiusKm);
    QTest::keyClick(View.get(), Qt::Key_Home);
    QCOMPARE(View->ViewRadiusKm(), DefaultViewRadiusKm);
    QCOMPARE(View->ViewCentre().XKm, 0.0);
}

// State: a view painted once, so that its pictures are kept. Action: paint it again, at
// 100%, 150% and 200%. Expected: exactly the picture a new view paints for the same state.
void MapViewTest::keptPictureEqualsAFreshOne() {
    for (const double ratio : {1.0, 1.5, 2.0}) {
        MapView kept;
        SetUpBusy(kept);
        Render(kept, ratio);
        const QImage again = Render(kept, ratio);
        MapView fresh;
        SetUpBusy(fresh);
        QCOMPARE(again, Render(fresh, ratio));
    }
}

// State: a view painted once. Action: change what it shows, then paint. Expected: the
// picture differs from the kept one and equals that of a new view in the changed state; a
// kept picture surviving the change would show the old map.
void MapViewTest::changesRepaintTheMap_data() {
    QTest::addColumn<int>("change");
    QTest::newRow("new scene") << 0;
    QTest::newRow("cloud highlighted") << 1;
    QTest::newRow("zoom") << 2;
    QTest::newRow("pan") << 3;
    QTest::newRow("resize") << 4;
    QTest::newRow("one-hop ring") << 5;
    QTest::newRow("new home") << 6;
    QTest::newRow("font") << 7;
    QTest::newRow("no outlines") << 8;
    // The paths of a new scene are taken from the last one where their ends agree: never
    // across a new home, and never for a path that moved.
    QTest::newRow("same scene again after a new home") << 9;
    QTest::newRow("one path moved") << 10;
    // Outlines get their pixels when first shown: these were off the first picture.
    QTest::newRow("pan far") << 11;
}

void MapViewTest::changesRepaintTheMap() {
    QFETCH(int, change);
    const auto apply = [change](MapView &view) {
        MapScene scene = ionvane::map::testing::FakeOpening(50, 500);
        switch (change) {
        case 0:
            view.SetScene(ionvane::map::testing::FakeOpening(20, 40));
            break;
        case 1:
            scene.HighlightedCloudId = 2;
            view.SetScene(scene);
            break;
        case 2: {
            const QPointF at(500, 300);
            QWheelEvent wheel(at, at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(&view, &wheel);
            break;
        }
        case 3:
            QTest::keyClick(&view, Qt::Key_Right);
            break;
        case 4:
            view.resize(820, 600);
            break;
        case 5:
            view.SetOneHopKm(1800.0);
            break;
        case 6:
            // JN58TD, Munich.
            view.SetHome({48.145833333333333, 11.625}, "JN58TD");
            break;
        case 7: {
            QFont font = view.font();
            font.setPointSizeF(14.0);
            view.setFont(font);
            break;
        }
        case 8:
            view.SetOutlines(nullptr, "gone");
            break;
        case 9:
            view.SetScene(scene);
            view.SetHome({48.145833333333333, 11.625}, "JN58TD");
            view.SetScene(scene);
            break;
        case 10:
            scene.Paths[7].To = {60.2, 24.9};
            view.SetScene(scene);
            break;
        case 11:
            for (int step = 0; step < 8; ++step) {
                QTest::keyClick(&view, step % 2 ? Qt::Key_Up : Qt::Key_Right);
            }
            break;
        }
    };
    MapView kept;
    SetUpBusy(kept);
    const QImage before = Render(kept);
    apply(kept);
    if (kept.HomePending()) {
        // A new home under a picture: the old picture stays until the outlines are
        // projected round the new home in the background.
        QSignalSpy shown(&kept, &MapView::homeShown);
        if (change == 6) {
            QCOMPARE(Render(kept), before);
        }
        QVERIFY(shown.wait(10000));
    }
    const QImage after = Render(kept);
    MapView fresh;
    SetUpBusy(fresh);
    apply(fresh);
    QVERIFY(after != before);
    QCOMPARE(after, Render(fresh));
}

// Dragging cannot take the middle of the view off the world.
void MapViewTest::panStaysOnTheWorld() {
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(View.get(), Qt::Key_Minus);
    }
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(View.get(), Qt::Key_Right);
    }
    QCOMPARE(View->ViewCentre().XKm, AntipodeDistanceKm());
    const QImage image = Render(*View);
    QVERIFY(!image.isNull());
}
