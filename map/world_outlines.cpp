#include "world_outlines.h"

#include <QFile>

namespace ionvane::map {

namespace {

const char *const LandResource = ":/map/land-50m.json";
const char *const CountriesResource = ":/map/countries-50m.json";

QByteArray ReadResource(const char *path) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(static_cast<qint64>(MaxTopologyBytes) + 1);
}

} // namespace

WorldOutlinesResult MakeWorldOutlines(const QByteArray &landJson, const QByteArray &countriesJson) {
    const TopologyResult land = ReadTopology(landJson);
    if (!land.Value) {
        return {nullptr, "land outlines: " + land.Error};
    }
    const TopologyResult countries = ReadTopology(countriesJson);
    if (!countries.Value) {
        return {nullptr, "country borders: " + countries.Error};
    }
    auto outlines = std::make_shared<WorldOutlines>();
    outlines->Land = ObjectRings(*land.Value, "land");
    outlines->Borders = SharedArcs(*countries.Value, "countries");
    if (outlines->Land.empty()) {
        return {nullptr, "land outlines: no object \"land\" with polygons"};
    }
    return {std::move(outlines), {}};
}

WorldOutlinesResult LoadWorldOutlines() {
    return MakeWorldOutlines(ReadResource(LandResource), ReadResource(CountriesResource));
}

} // namespace ionvane::map
