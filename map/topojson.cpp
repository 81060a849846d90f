#include "topojson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ionvane::map {

namespace {

// Quantized coordinates are integers; 2^31 covers any quantization a topology uses (the world
// outlines use 10^5 steps) and keeps the running sums of the delta decoding exact in 64 bits.
constexpr double MaxQuantizedValue = 2147483648.0;

// Decoded positions may overshoot the globe by rounding in scale * q + translate.
constexpr double GlobeSlackDeg = 1e-6;

std::size_t ArcIndex(int reference) {
    return static_cast<std::size_t>(reference >= 0 ? reference : ~reference);
}

// Through Qt rather than std::to_string(double), whose vsnprintf left the program the one libc
// call without a fortified check (lintian: hardening-no-fortify-functions).
std::string DegreesText(double deg) {
    return QString::number(deg, 'g', 10).toStdString();
}

struct Transform {
    double ScaleX = 1, ScaleY = 1, TranslateX = 0, TranslateY = 0;
};

class Reader {
  public:
    std::string Error;
    Topology Result;

    bool Read(const QByteArray &json) {
        if (static_cast<std::size_t>(json.size()) > MaxTopologyBytes) {
            return Fail("the file is too large (" + std::to_string(json.size()) +
                        " bytes; at most " + std::to_string(MaxTopologyBytes) + ")");
        }
        QJsonParseError parseError{};
        const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            return Fail("not JSON: " + parseError.errorString().toStdString() + " at byte " +
                        std::to_string(parseError.offset));
        }
        const QJsonObject root = document.object();
        if (root.value("type").toString() != "Topology") {
            return Fail("not a TopoJSON topology (\"type\" is not \"Topology\")");
        }
        std::optional<Transform> transform;
        if (root.contains("transform")) {
            transform = ReadTransform(root.value("transform"));
            if (!transform) {
                return false;
            }
        }
        if (!ReadArcs(root.value("arcs"), transform)) {
            return false;
        }
        const QJsonValue objects = root.value("objects");
        if (!objects.isObject()) {
            return Fail("\"objects\" is missing or not an object");
        }
        const QJsonObject objectMap = objects.toObject();
        for (auto it = objectMap.begin(); it != objectMap.end(); ++it) {
            TopoObject object{it.key().toStdString(), {}};
            if (!ReadGeometry(it.value(), object, 0)) {
                return false;
            }
            Result.Objects.push_back(std::move(object));
        }
        return true;
    }

  private:
    std::size_t Positions = 0;
    std::size_t References = 0;
    std::size_t Geometries = 0;
    std::size_t RingPositions = 0;

    bool Fail(std::string message) {
        Error = std::move(message);
        return false;
    }

    std::optional<Transform> ReadTransform(const QJsonValue &value) {
        const QJsonArray scale = value.toObject().value("scale").toArray();
        const QJsonArray translate = value.toObject().value("translate").toArray();
        if (scale.size() != 2 || translate.size() != 2 || !scale[0].isDouble() ||
            !scale[1].isDouble() || !translate[0].isDouble() || !translate[1].isDouble()) {
            Fail("\"transform\" needs a \"scale\" and a \"translate\" of two numbers each");
            return std::nullopt;
        }
        const Transform t{scale[0].toDouble(), scale[1].toDouble(), translate[0].toDouble(),
                          translate[1].toDouble()};
        if (!std::isfinite(t.ScaleX) || !std::isfinite(t.ScaleY) || t.ScaleX == 0 ||
            t.ScaleY == 0 || !std::isfinite(t.TranslateX) || !std::isfinite(t.TranslateY)) {
            Fail("\"transform\" has a zero or non-finite scale or translate");
            return std::nullopt;
        }
        return t;
    }

    bool ReadArcs(const QJsonValue &value, const std::optional<Transform> &transform) {
        if (!value.isArray()) {
            return Fail("\"arcs\" is missing or not an array");
        }
        const QJsonArray arcs = value.toArray();
        if (static_cast<std::size_t>(arcs.size()) > MaxTopologyArcs) {
            return Fail("too many arcs (" + std::to_string(arcs.size()) + "; at most " +
                        std::to_string(MaxTopologyArcs) + ")");
        }
        Result.Arcs.reserve(static_cast<std::size_t>(arcs.size()));
        // The place of a fault is named only once there is one: building it for each of the
        // outlines' 80,617 positions took a fifth of their reading.
        const auto arcAt = [](qsizetype a) { return "arc " + std::to_string(a); };
        for (qsizetype a = 0; a < arcs.size(); ++a) {
            const QJsonArray positions = arcs[a].toArray();
            if (positions.size() < 2) {
                return Fail(arcAt(a) + " has fewer than two positions");
            }
            Positions += static_cast<std::size_t>(positions.size());
            if (Positions > MaxTopologyPositions) {
                return Fail("too many positions (more than " +
                            std::to_string(MaxTopologyPositions) + ")");
            }
            GeoLine line;
            line.reserve(static_cast<std::size_t>(positions.size()));
            std::int64_t x = 0;
            std::int64_t y = 0;
            for (qsizetype p = 0; p < positions.size(); ++p) {
                const QJsonArray position = positions[p].toArray();
                const auto at = [&] { return arcAt(a) + ", position " + std::to_string(p); };
                if (position.size() < 2 || !position[0].isDouble() || !position[1].isDouble()) {
                    return Fail(at() + " is not a pair of numbers");
                }
                const double px = position[0].toDouble();
                const double py = position[1].toDouble();
                GeoPoint point;
                if (transform) {
                    if (!IsQuantized(px) || !IsQuantized(py)) {
                        return Fail(at() + " is not a whole number within +-2^31");
                    }
                    x += static_cast<std::int64_t>(px);
                    y += static_cast<std::int64_t>(py);
                    point = {static_cast<double>(y) * transform->ScaleY + transform->TranslateY,
                             static_cast<double>(x) * transform->ScaleX + transform->TranslateX};
                } else {
                    point = {py, px};
                }
                if (!(std::fabs(point.LatDeg) <= 90 + GlobeSlackDeg) ||
                    !(std::fabs(point.LonDeg) <= 180 + GlobeSlackDeg)) {
                    return Fail(at() + " is off the globe (latitude " + DegreesText(point.LatDeg) +
                                ", longitude " + DegreesText(point.LonDeg) + ")");
                }
                point.LatDeg = std::clamp(point.LatDeg, -90.0, 90.0);
                point.LonDeg = std::clamp(point.LonDeg, -180.0, 180.0);
                line.push_back(point);
            }
            Result.Arcs.push_back(std::move(line));
        }
        return true;
    }

    static bool IsQuantized(double v) {
        return std::fabs(v) <= MaxQuantizedValue && std::floor(v) == v;
    }

    bool ReadRing(const QJsonValue &value, std::vector<int> &ring, const std::string &where) {
        if (!value.isArray()) {
            return Fail(where + ": a ring is not an array of arc indices");
        }
        const QJsonArray refs = value.toArray();
        References += static_cast<std::size_t>(refs.size());
        if (References > MaxTopologyArcReferences) {
            return Fail("too many arc references (more than " +
                        std::to_string(MaxTopologyArcReferences) + ")");
        }
        const auto arcCount = static_cast<double>(Result.Arcs.size());
        for (const QJsonValue &ref : refs) {
            const double index = ref.toDouble(std::nan(""));
            // ~i for a reversed arc i: -1 names arc 0 backwards, -arcCount the last one.
            if (!ref.isDouble() || std::floor(index) != index || index >= arcCount ||
                index < -arcCount) {
                // The reference as it was written: "[0.5]" less its brackets.
                const QByteArray text =
                    QJsonDocument(QJsonArray{ref}).toJson(QJsonDocument::Compact);
                return Fail(where + ": arc index " + text.mid(1, text.size() - 2).toStdString() +
                            " does not name one of the " + std::to_string(Result.Arcs.size()) +
                            " arcs");
            }
            RingPositions += Result.Arcs[ArcIndex(static_cast<int>(index))].size();
            if (RingPositions > MaxTopologyRingPositions) {
                return Fail("the rings stitch to too many positions (more than " +
                            std::to_string(MaxTopologyRingPositions) + ")");
            }
            ring.push_back(static_cast<int>(index));
        }
        return true;
    }

    bool ReadPolygon(const QJsonValue &value, std::vector<std::vector<int>> &polygon,
                     const std::string &where) {
        if (!value.isArray()) {
            return Fail(where + ": a polygon is not an array of rings");
        }
        for (const QJsonValue &ringValue : value.toArray()) {
            std::vector<int> ring;
            if (!ReadRing(ringValue, ring, where)) {
                return false;
            }
            polygon.push_back(std::move(ring));
        }
        return true;
    }

    bool ReadGeometry(const QJsonValue &value, TopoObject &object, int depth) {
        const std::string where = "object \"" + object.Name + "\"";
        if (depth > MaxTopologyNesting) {
            return Fail(where + ": geometry collections nested too deep");
        }
        if (++Geometries > MaxTopologyGeometries) {
            return Fail("too many geometries (more than " + std::to_string(MaxTopologyGeometries) +
                        ")");
        }
        const QJsonObject geometry = value.toObject();
        const QString type = geometry.value("type").toString();
        if (type == "GeometryCollection") {
            const QJsonValue members = geometry.value("geometries");
            if (!members.isArray()) {
                return Fail(where + ": a GeometryCollection without \"geometries\"");
            }
            for (const QJsonValue &member : members.toArray()) {
                if (!ReadGeometry(member, object, depth + 1)) {
                    return false;
                }
            }
            return true;
        }
        if (type != "Polygon" && type != "MultiPolygon") {
            return true;
        }
        const QJsonValue arcs = geometry.value("arcs");
        if (!arcs.isArray()) {
            return Fail(where + ": a " + type.toStdString() + " without \"arcs\"");
        }
        TopoGeometry result;
        if (type == "Polygon") {
            result.Polygons.emplace_back();
            if (!ReadPolygon(arcs, result.Polygons.back(), where)) {
                return false;
            }
        } else {
            for (const QJsonValue &polygon : arcs.toArray()) {
                result.Polygons.emplace_back();
                if (!ReadPolygon(polygon, result.Polygons.back(), where)) {
                    return false;
                }
            }
        }
        object.Geometries.push_back(std::move(result));
        return true;
    }
};

const TopoObject *FindObject(const Topology &topology, std::string_view name) {
    for (const auto &object : topology.Objects) {
        if (object.Name == name) {
            return &object;
        }
    }
    return nullptr;
}

} // namespace

TopologyResult ReadTopology(const QByteArray &json) {
    Reader reader;
    if (!reader.Read(json)) {
        return {std::nullopt, std::move(reader.Error)};
    }
    return {std::move(reader.Result), {}};
}

std::vector<GeoLine> ObjectRings(const Topology &topology, std::string_view objectName) {
    std::vector<GeoLine> rings;
    const TopoObject *object = FindObject(topology, objectName);
    if (object == nullptr) {
        return rings;
    }
    for (const auto &geometry : object->Geometries) {
        for (const auto &polygon : geometry.Polygons) {
            for (const auto &references : polygon) {
                GeoLine ring;
                for (const int reference : references) {
                    const GeoLine &arc = topology.Arcs[ArcIndex(reference)];
                    const std::size_t skip = ring.empty() ? 0 : 1;
                    if (reference >= 0) {
                        ring.insert(ring.end(), arc.begin() + static_cast<std::ptrdiff_t>(skip),
                                    arc.end());
                    } else {
                        ring.insert(ring.end(), arc.rbegin() + static_cast<std::ptrdiff_t>(skip),
                                    arc.rend());
                    }
                }
                if (ring.size() >= 4) {
                    rings.push_back(std::move(ring));
                }
            }
        }
    }
    return rings;
}

std::vector<GeoLine> SharedArcs(const Topology &topology, std::string_view objectName) {
    std::vector<GeoLine> shared;
    const TopoObject *object = FindObject(topology, objectName);
    if (object == nullptr) {
        return shared;
    }
    // The first geometry seen on each arc, and whether a second, different one uses it too.
    constexpr std::size_t Unused = static_cast<std::size_t>(-1);
    std::vector<std::size_t> firstUser(topology.Arcs.size(), Unused);
    std::vector<bool> isShared(topology.Arcs.size(), false);
    for (std::size_t g = 0; g < object->Geometries.size(); ++g) {
        for (const auto &polygon : object->Geometries[g].Polygons) {
            for (const auto &ring : polygon) {
                for (const int reference : ring) {
                    const std::size_t arc = ArcIndex(reference);
                    if (firstUser[arc] == Unused) {
                        firstUser[arc] = g;
                    } else if (firstUser[arc] != g) {
                        isShared[arc] = true;
                    }
                }
            }
        }
    }
    for (std::size_t arc = 0; arc < topology.Arcs.size(); ++arc) {
        if (isShared[arc]) {
            shared.push_back(topology.Arcs[arc]);
        }
    }
    return shared;
}

} // namespace ionvane::map
