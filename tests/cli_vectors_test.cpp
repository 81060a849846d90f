// The shared calculation cases through ionvane-cli's own option handling: every case given as
// options, the JSON it prints compared text by text.
#include "calculate_vectors.h"
#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ionvane::cli {
namespace {

TEST(CliVectors, EveryCaseMatchesThroughTheOptions) {
    const auto vectors = testing::ReadCalculateVectors();
    for (const auto &vector : vectors) {
        const QJsonObject &args = vector.Args;
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
        EXPECT_EQ(code, vector.Expected["status"].toInt() == 0 && !got["stopped"].toBool()
                            ? ExitComputed
                            : ExitNotComputed)
            << vector.Line.toStdString();
        testing::ExpectReportMatches(vector, got);
    }
    EXPECT_EQ(vectors.size(), testing::CalculateVectorCount);
}

} // namespace
} // namespace ionvane::cli
