#include "alarm_fields.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

namespace ionvane::alarm {

namespace {

QString AlarmTime(const AlarmFields &fields) {
    return QDateTime::fromSecsSinceEpoch(fields.Alarm.Time, Qt::UTC).toString(Qt::ISODate);
}

QString Beam(const AlarmFields &fields) {
    // Degrees as the window shows them, one decimal: a rotator turns no finer.
    return fields.BeamDeg ? QString::number(*fields.BeamDeg, 'f', 1) : QString();
}

QString BandText(const AlarmFields &fields) {
    const std::string_view name = spot::BandName(fields.Alarm.Which);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

AlarmFields FieldsOf(const tracker::AlarmEvent &alarm, const tracker::VerdictEvent *verdict) {
    AlarmFields fields{alarm, std::nullopt, {}};
    if (verdict != nullptr) {
        const tracker::BandVerdict &band = verdict->Bands[spot::BandIndex(alarm.Which)];
        if (band.CloudId) {
            fields.BeamDeg = band.Home.AzimuthDeg;
            fields.TowardsLoc = band.Home.TowardsLoc;
        }
    }
    return fields;
}

QString AlarmTitle(const AlarmFields &fields) {
    return "Es alarm: " + BandText(fields);
}

QByteArray AlarmJson(const AlarmFields &fields) {
    QJsonObject object;
    object["band"] = BandText(fields);
    object["cloud"] = fields.Alarm.CloudId;
    object["time"] = AlarmTime(fields);
    object["heard"] = fields.Alarm.Heard;
    object["beamDeg"] = fields.BeamDeg ? QJsonValue(*fields.BeamDeg) : QJsonValue();
    object["towards"] =
        fields.BeamDeg ? QJsonValue(QString::fromStdString(fields.TowardsLoc)) : QJsonValue();
    object["text"] = QString::fromStdString(fields.Alarm.Text);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QProcessEnvironment AlarmEnvironment(const AlarmFields &fields, QProcessEnvironment base) {
    base.insert("IONVANE_BAND", BandText(fields));
    base.insert("IONVANE_BEAM", Beam(fields));
    base.insert("IONVANE_TOWARDS", QString::fromStdString(fields.TowardsLoc));
    base.insert("IONVANE_HEARD", QString::number(fields.Alarm.Heard));
    base.insert("IONVANE_TIME", AlarmTime(fields));
    base.insert("IONVANE_TEXT", QString::fromStdString(fields.Alarm.Text));
    base.insert("IONVANE_CLOUD", QString::number(fields.Alarm.CloudId));
    return base;
}

} // namespace ionvane::alarm
