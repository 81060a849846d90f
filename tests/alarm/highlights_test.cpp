// WSJT-X's HighlightCallsign requests: their bytes as Qt writes the fields, read back with the
// program's own reader, and which calls are coloured and cleared as clouds come and go.
#include "alarm/call_highlights.h"
#include "wsjtx/datagram.h"

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QIODevice>

#include <gtest/gtest.h>

namespace ionvane::alarm {
namespace {

// The request as WSJT-X's own message code streams it: Qt's QColor and QByteArray.
QByteArray QtWritten(const char *id, const wsjtx::Highlight &h) {
    const auto colour = [](const std::optional<wsjtx::Rgb> &rgb) {
        return rgb ? QColor(rgb->Red, rgb->Green, rgb->Blue) : QColor();
    };
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint32(0xADBCCBDA) << quint32(2) << quint32(13) << QByteArray(id)
        << QByteArray::fromStdString(h.Call) << colour(h.Background) << colour(h.Foreground)
        << h.HighlightLast;
    return bytes;
}

TEST(HighlightDatagram, IsLaidOutAsQtStreamsItAndReadsBack) {
    const wsjtx::Highlight cases[] = {
        {"EA8ABC", OpenBackground, OpenForeground, false},
        {"DL1ABC/P", MarginalBackground, MarginalForeground, true},
        {"EA8ABC", std::nullopt, std::nullopt, false}, // the clearing form
    };
    for (const wsjtx::Highlight &h : cases) {
        const std::string bytes = wsjtx::HighlightDatagram("WSJT-X - 6m", h);
        EXPECT_EQ(QByteArray::fromStdString(bytes), QtWritten("WSJT-X - 6m", h)) << h.Call;
        const auto read = wsjtx::ReadHighlight(bytes);
        ASSERT_TRUE(read) << h.Call;
        EXPECT_EQ(read->first, "WSJT-X - 6m");
        EXPECT_EQ(read->second, h);
        // Cut anywhere inside, it is no request.
        EXPECT_FALSE(wsjtx::ReadHighlight(std::string_view(bytes).substr(0, bytes.size() - 1)));
    }
}

constexpr calc::Position CloudAt{40.0, 5.0};
// About 110 km from the cloud: within the tracker's join radius. 5 degrees away: outside.
constexpr calc::Position Near{41.0, 5.0};
constexpr calc::Position Far{45.0, 5.0};

tracker::CloudEvent CloudNews(tracker::CloudState state, int id = 7) {
    tracker::CloudEvent event;
    event.State = state;
    event.Cloud.Id = id;
    event.Cloud.LatDeg = CloudAt.LatDeg;
    event.Cloud.LonDeg = CloudAt.LonDeg;
    return event;
}

tracker::VerdictEvent TwoMetres(tracker::VerdictState state, spot::BandSet shown, int cloud = 7) {
    tracker::VerdictEvent event;
    event.Shown = shown;
    tracker::BandVerdict &verdict = event.Bands[spot::BandIndex(spot::Band::M2)];
    verdict.Which = spot::Band::M2;
    verdict.State = state;
    if (state != tracker::VerdictState::Closed) {
        verdict.Via.push_back({});
        verdict.Via.back().CloudId = cloud;
    }
    return event;
}

DecodedCall Heard(const std::string &call, calc::Position centre = Near) {
    return {"WSJT-X", call, spot::Band::M2, centre};
}

HighlightRequest Cleared(const std::string &call) {
    return {"WSJT-X", {call, std::nullopt, std::nullopt, false}};
}

// A highlighter with one cloud carrying 2 m open.
CallHighlights OpenOnTwoMetres() {
    CallHighlights highlights;
    highlights.Enable(true);
    highlights.Cloud(CloudNews(tracker::CloudState::New));
    highlights.Verdict(TwoMetres(tracker::VerdictState::Possible, spot::BandBit(spot::Band::M2)));
    return highlights;
}

TEST(CallHighlights, OnlyCallsThroughACloudOfAFollowedOpenBandAndOnlyWhenAskedFor) {
    CallHighlights off;
    off.Cloud(CloudNews(tracker::CloudState::New));
    off.Verdict(TwoMetres(tracker::VerdictState::Possible, spot::BandBit(spot::Band::M2)));
    EXPECT_TRUE(off.Decoded(Heard("EA8ABC")).empty());

    CallHighlights on = OpenOnTwoMetres();
    EXPECT_TRUE(on.Decoded(Heard("F5XYZ", Far)).empty());
    const HighlightRequest open{"WSJT-X", {"EA8ABC", OpenBackground, OpenForeground, false}};
    EXPECT_EQ(on.Decoded(Heard("EA8ABC")), std::vector{open});
    EXPECT_TRUE(on.Decoded(Heard("EA8ABC")).empty()); // held already

    // Marginal: the same call in the other colour; a band not followed: cleared.
    const HighlightRequest marginal{"WSJT-X",
                                    {"EA8ABC", MarginalBackground, MarginalForeground, false}};
    EXPECT_EQ(on.Verdict(TwoMetres(tracker::VerdictState::Marginal, spot::BandBit(spot::Band::M2))),
              std::vector{marginal});
    EXPECT_EQ(on.Verdict(TwoMetres(tracker::VerdictState::Marginal, spot::BandBit(spot::Band::M6))),
              std::vector{Cleared("EA8ABC")});
    EXPECT_TRUE(on.Decoded(Heard("EA8ABC")).empty());

    // Turned off: what is held is cleared, nothing more is sent.
    CallHighlights later = OpenOnTwoMetres();
    later.Decoded(Heard("EA8ABC"));
    EXPECT_EQ(later.Enable(false), std::vector{Cleared("EA8ABC")});
    EXPECT_TRUE(later.Decoded(Heard("EA8ABC")).empty());
}

TEST(CallHighlights, ClearsTheCallsOfACloudThatFades) {
    CallHighlights highlights = OpenOnTwoMetres();
    highlights.Cloud(CloudNews(tracker::CloudState::New, 8));
    highlights.Verdict(TwoMetres(tracker::VerdictState::Possible, spot::BandBit(spot::Band::M2)));
    highlights.Decoded(Heard("EA8ABC"));
    highlights.Decoded(Heard("EA8XYZ"));
    EXPECT_TRUE(highlights.Cloud(CloudNews(tracker::CloudState::Fading, 8)).empty());
    EXPECT_EQ(highlights.Cloud(CloudNews(tracker::CloudState::Fading)),
              (std::vector{Cleared("EA8ABC"), Cleared("EA8XYZ")}));
    EXPECT_EQ(highlights.Held(), 0U);
}

TEST(CallHighlights, HoldsAtMostAHundredClearingTheOldestFirst) {
    CallHighlights highlights = OpenOnTwoMetres();
    for (std::size_t i = 0; i < MostHighlights; ++i) {
        ASSERT_EQ(highlights.Decoded(Heard("EA8" + std::to_string(i))).size(), 1U);
    }
    const std::vector<HighlightRequest> next = highlights.Decoded(Heard("EA8NEW"));
    ASSERT_EQ(next.size(), 2U);
    EXPECT_EQ(next[0], Cleared("EA80"));
    EXPECT_EQ(next[1].What.Call, "EA8NEW");
    EXPECT_EQ(highlights.Held(), MostHighlights);
}

} // namespace
} // namespace ionvane::alarm
