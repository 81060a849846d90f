// Cases made by an independent implementation of the same rules: every text must match exactly.
#include "calc/ascii.h"
#include "calculate_vectors.h"
#include "cli/report_json.h"
#include "command/calculate_command.h"
#include "window/locale_format.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace ionvane::cli {

using command::CalculateCommand;
using command::CalculateInput;
using command::ScreenTexts;
using window::NumberFormatOf;
namespace {

TEST(Vectors, EveryCaseMatchesToTheCharacter) {
    const auto vectors = testing::ReadCalculateVectors();
    for (const auto &vector : vectors) {
        const QJsonObject &args = vector.Args;
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
        calc::CalcState stateWithout = state;
        const std::string homeTyped = screen.txtHomeLoc;
        const auto outcome = CalculateCommand(format).Run(state, input, screen);
        // The run without texts, with the texts of the run with them: the same report.
        const auto without =
            CalculateCommand(format).RunWithoutTexts(stateWithout, input, homeTyped);

        for (const auto *run : {&outcome, &without}) {
            SCOPED_TRACE(run == &without ? "the run without texts" : "the run with texts");
            std::string report = "{";
            AppendReportMembers(report, *run, screen);
            report += '}';
            testing::ExpectReportMatches(
                vector, QJsonDocument::fromJson(QByteArray::fromStdString(report)).object());
        }
    }
    EXPECT_EQ(vectors.size(), testing::CalculateVectorCount);
}

} // namespace
} // namespace ionvane::cli
