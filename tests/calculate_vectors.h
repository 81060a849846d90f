// The shared calculation cases, one JSON object a line in data/calculate_vectors.jsonl:
// {"args":{"from":..,"to":..,"freq":..,"home":..,"es_layer":..,"masl":..,"locale":..},
//  "expected":{..members of the JSON report..}}. Each test runs them its own way and compares the
// members here.
#pragma once

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <vector>

namespace ionvane::testing {

/// How many cases the file holds; a test that ran fewer missed some.
constexpr std::size_t CalculateVectorCount = 314;

struct CalculateVector {
    int Number = 0;  ///< from 1, in file order
    QByteArray Line; ///< as read, for the failure message
    QJsonObject Args;
    QJsonObject Expected;
};

/// Every case of the file, blank lines skipped; none if the file cannot be read.
inline std::vector<CalculateVector> ReadCalculateVectors() {
    std::vector<CalculateVector> vectors;
    QFile file(IONVANE_TEST_DATA "/calculate_vectors.jsonl");
    if (!file.open(QIODevice::ReadOnly)) {
        return vectors;
    }
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty()) {
            continue;
        }
        const QJsonObject c = QJsonDocument::fromJson(line).object();
        vectors.push_back({static_cast<int>(vectors.size()) + 1, line, c["args"].toObject(),
                           c["expected"].toObject()});
    }
    return vectors;
}

/// Every expected member of `vector` is in `got` with the same value.
inline void ExpectReportMatches(const CalculateVector &vector, const QJsonObject &got) {
    for (const QString &key : vector.Expected.keys()) {
        EXPECT_EQ(got[key], vector.Expected[key])
            << "case " << vector.Number << " " << key.toStdString() << ": "
            << vector.Line.toStdString();
    }
}

} // namespace ionvane::testing
