#include "report_json.h"

#include "json.h"

namespace ionvane::cli {

using command::CalculateOutcome;
using command::ScreenTexts;

void AppendReportMembers(std::string &out, const CalculateOutcome &outcome,
                         const ScreenTexts &screen) {
    IntegerMember(out, "status", outcome.StatusShown);
    if (outcome.HowEnded == CalculateOutcome::Ending::SilentStop) {
        // A frequency of 0 ends the run without a word on the screen; a script still learns why
        // status 0 came with nothing calculated.
        BoolMember(out, "stopped", true);
    }
    StringMember(out, "message", outcome.MessageShown);
    if (outcome.Focus) {
        StringMember(out, "focus", command::ControlName(*outcome.Focus));
    } else {
        RawMember(out, "focus", "null");
    }
    StringMember(out, "title", screen.Title);
    StringMember(out, "homeLocator", screen.txtHomeLoc);
    Key(out, "labels");
    out += '{';
    StringMember(out, "lblAZResult", screen.lblAZResult);
    StringMember(out, "lblAzResult2", screen.lblAzResult2);
    StringMember(out, "lblMidPoint", screen.lblMidPoint);
    StringMember(out, "lblMUFqth", screen.lblMUFqth);
    StringMember(out, "lblMUFqth2", screen.lblMUFqth2);
    StringMember(out, "lblFOT", screen.lblFOT);
    out += '}';
    if (const auto &f = outcome.Figures) {
        ShownFigureMember(out, "distanceKm", f->DistanceKm);
        ShownFigureMember(out, "azimuthDeg", f->AzimuthDeg);
        ShownFigureMember(out, "elevationDeg", f->ElevationDeg);
        DoubleMember(out, "criticalFreqMHz", f->CriticalFreqMHz);
        ShownFigureMember(out, "mufMHz", f->PathMufMHz);
        StringMember(out, "centreLocator", f->CentreLoc);
        StringMember(out, "towardsLocator", f->TowardsLoc);
        ShownFigureMember(out, "homeDistanceKm", f->HomeDistanceKm);
        ShownFigureMember(out, "homeAzimuthDeg", f->HomeAzimuthDeg);
        ShownFigureMember(out, "homeElevationDeg", f->HomeElevationDeg);
        FloatMember(out, "trafficFreqMHz", f->TrafficFreqMHz);
    }
}

void AppendSpotMembers(std::string &out, const spot::Spot &read) {
    Key(out, "spot");
    out += '{';
    RawMember(out, "freqMHz", read.FreqMHzText);
    StringMember(out, "from", read.FromLoc);
    StringMember(out, "to", read.ToLoc);
    NullableStringMember(out, "tag", read.Tag);
    BoolMember(out, "es", read.Es);
    StringMember(out, "dxCall", read.DxCall);
    StringMember(out, "spotter", read.Spotter);
    out += '}';
}

} // namespace ionvane::cli
