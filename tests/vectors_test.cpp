// Cases made by an independent implementation of the same rules: every text must match exactly.
#include "calc/ascii.h"
#include "cli/report.h"
#include "command/calculate_command.h"
#include "window/locale_format.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <gtest/gtest.h>

namespace ionvane::cli {

using command::CalculateCommand;
using command::CalculateInput;
using command::ScreenTexts;
using window::NumberFormatOf;
namespace {

TEST(Vectors, EveryCaseMatchesToTheCharacter) {
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

        calc::CalcState state;
        state.EsLayerHeightKm = static_cast<float>(args["es_layer"].toDouble());
        state.HomeHeightKm = static_cast<float>(args["masl"].toDouble() * 0.001);
        ScreenTexts screen;
        // The home text as typing it into the home box leaves it: ASCII letters upper-cased.
        screen.txtHomeLoc = calc::UpperCaseAscii(args["home"].toString().toStdString());
        const CalculateInput input{args["from"].toString().toStdString(),
                                   args["to"].toString().toStdString(),
                                   args["freq"].toString().toStdString()};
        const auto format = NumberFormatOf(QLocale(args["locale"].toString()));
        const auto outcome = CalculateCommand(format).Run(state, input, screen);

        std::string report = "{";
        report += ReportMembers(outcome, screen);
        report += '}';
        const QJsonObject got = QJsonDocument::fromJson(QByteArray::fromStdString(report)).object();
        for (const QString &key : expected.keys()) {
            EXPECT_EQ(got[key], expected[key])
                << "case " << cases << " " << key.toStdString() << ": " << line.toStdString();
        }
    }
    EXPECT_EQ(cases, 308);
}

} // namespace
} // namespace ionvane::cli
