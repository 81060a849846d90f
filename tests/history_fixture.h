// What the history tests share: the capture's clock, whole-file reads and writes, and an opening
// to record.
#pragma once

#include "synthetic/synthetic_capture.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ionvane::history {
namespace {

// 2026-06-14T10:00:00Z
constexpr std::int64_t T0 = 1781431200;
constexpr std::int64_t Minute = 60;
constexpr std::int64_t Day = 86400;

inline QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void WriteAll(const QString &path, const QByteArray &content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// Two clouds over 40 minutes, one of them with two agreeing 2 m spots, amid HF spots and talk.
inline std::vector<std::string> Opening() {
    using synthetic::PathThrough;
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i) {
        const std::int64_t t = T0 + i * Minute;
        lines.push_back(synthetic::PlainSpotLine(t, 14074.0, "JA1ABC", "DK7UK"));
        lines.push_back(synthetic::SpotLine(t + 5, PathThrough({45.0, 10.0}, i * 23 % 180, 1500),
                                            i == 30 || i == 31 ? 144174.0 : 50313.0));
        if (i % 3 == 0) {
            lines.push_back(synthetic::SpotLine(
                t + 20, PathThrough({40.0, -2.0}, i * 41 % 180, 1200), 50150.0));
        }
    }
    return lines;
}

} // namespace
} // namespace ionvane::history
