// The shared calculation cases through ionvane-cli's own option handling: every case given as
// options, the JSON it prints compared text by text.
#include "cli/cli.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sstream>

namespace ionvane::cli {
namespace {

TEST(CliVectors, EveryCaseMatchesThroughTheOptions) {
    QFile file(IONVANE_TEST_DATA "/calculate_vectors.jsonl");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int cases = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty()) {
            continue;
        }
        ++cases;
        const QJsonObject c = QJsonDocument::fromJson(line).object();
        const QJsonObject args = c["args"].toObject();
        const QJsonObject expected = c["expected"].toObject();
        // --home as the user types it: lower-case letters are upper-cased by the program.
        const QStringList arguments{"ionvane-cli",
                                    "--json",
                                    "--from=" + args["from"].toString(),
                                    "--to=" + args["to"].toString(),
                                    "--freq=" + args["freq"].toString(),
                                    "--home=" + args["home"].toString(),
                                    "--es-layer",
                                    QString::number(args["es_layer"].toInt()),
                                    "--masl",
                                    QString::number(args["masl"].toInt()),
                                    "--locale",
                                    args["locale"].toString()};
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        const int code = RunCli(arguments, in, out, err);
        const QJsonObject got =
            QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
        EXPECT_EQ(code, expected["status"].toInt() == 0 && !got["stopped"].toBool()
                            ? ExitComputed
                            : ExitNotComputed)
            << line.toStdString();
        for (const QString &key : expected.keys()) {
            EXPECT_EQ(got[key], expected[key])
                << "case " << cases << " " << key.toStdString() << ": " << line.toStdString();
        }
    }
    EXPECT_EQ(cases, 308);
}

} // namespace
} // namespace ionvane::cli
