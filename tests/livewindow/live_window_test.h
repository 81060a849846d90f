// The live window driven with a replayed capture of an opening, on the capture's own clock: one
// test program whose cases are spread over live_window_test.cpp (the cloud table, the band panel,
// the map, the double-click into the main window) and live_window_settings_test.cpp (the
// remembered geometry and settings, and the connection bars and their states).
#pragma once

#include "live_window_fixture.h"

class LiveWindowTest : public QObject, LiveWindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { InitCase(); }
    void init() { Init(); }

    void cloudTableFilledFromReplayedCapture();
    void bandPanelNamesEachBandsOwnCloud();
    void changesGatheredAndShownTogether();
    void aCloudKeepsAsManySpotsAsTheTracker();
    void cloudTableSortsByNumberNotText();
    void selectingCloudMarksItOnMapAndSurvivesUpdates();
    void highestCloudPaintedOnTop();
    void bandPanelSaysPossibleOrClosed();
    void doubleClickCalculatesBestSpotInMainWindow_data();
    void doubleClickCalculatesBestSpotInMainWindow();
    void mainWindowFileMenuOpensLiveWindow();
    void landFollowsOnceTheWindowIsUp();
    void coreComesOnceDrawnAndWsjtxListensAgain();
    void geometryAndSplittersRemembered();
    void feedSettingsRemembered();
    void passwordReadableByOthersIsNotUsed();
    void connectionStateWords_data();
    void connectionStateWords();
    void feedStateWords();
    void clusterBarLogsInToFakeNodeAndFillsTable();
    void clusterBarRefusesACallThatIsNoCallSign();
    void refusalIsElidedAndNeverWidensTheWindow();
    void eachAltLetterLeadsToOneControl();
};
