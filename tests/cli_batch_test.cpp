// ionvane-cli's batch mode fed what a cluster pipe can bring: NUL bytes, invalid UTF-8, a 10 MB
// line and 100,000 lines. One JSON object per line that is not skipped, each valid JSON.
#include "cli/command_line.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sstream>

namespace ionvane::cli {
namespace {

std::vector<QJsonObject> RunBatch(const std::string &input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli({"ionvane-cli", "--batch", "--home", "IO90IR", "--es-layer", "110",
                             "--masl", "150", "--locale", "en_US"},
                            in, out, err);
    EXPECT_EQ(code, ExitComputed);
    std::vector<QJsonObject> objects;
    std::istringstream lines(out.str());
    std::string line;
    while (std::getline(lines, line)) {
        QJsonParseError error{};
        const auto document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.substr(0, 200);
        objects.push_back(document.object());
    }
    return objects;
}

TEST(CliBatch, HostileBytesGiveOneValidObjectPerLine) {
    std::string input = "IO90IR JN77EX 50.1\n";
    input += std::string("IO90I\0 JN77EX 50.1\n", 19); // a NUL inside a field
    input += "IO90IR \xff\xfeJN77 50.1 \xc3\n";        // invalid UTF-8
    input += std::string(10'000'000, 'A') + "\n";      // a 10 MB line
    input += "only two\n";
    input += "\"quoted\\\" JN77EX 50.1 \x01\x1f\n"; // JSON's own special characters
    const auto objects = RunBatch(input);
    ASSERT_EQ(objects.size(), 6U);
    EXPECT_EQ(objects[0]["status"].toInt(), 0);
    EXPECT_EQ(objects[1]["status"].toInt(), 16);
    EXPECT_EQ(objects[1]["labels"].toObject()["lblMUFqth"].toString(),
              "ERROR!! From Locator Character 6 invalid!");
    EXPECT_EQ(objects[2]["status"].toInt(), 21);
    EXPECT_EQ(objects[2]["homeLocator"].toString(), QString::fromUtf8("\xef\xbf\xbd"));
    EXPECT_EQ(objects[3]["error"].toString(), "line too long");
    EXPECT_EQ(objects[3]["line"].toInt(), 4);
    EXPECT_EQ(objects[4]["error"].toString(), "expected FROM TO FREQ [HOME]");
    EXPECT_EQ(objects[5]["homeLocator"].toString(), "\x01\x1f");
}

TEST(CliBatch, HomeFieldIsUpperCasedAsHomeIs) {
    const auto objects = RunBatch("KO18AO JO55OB 144.289 zO3\n");
    ASSERT_EQ(objects.size(), 1U);
    EXPECT_EQ(objects[0]["homeLocator"].toString(), "ZO3IO9");
}

TEST(CliBatch, AHundredThousandLines) {
    std::string input;
    for (int i = 0; i < 100'000; ++i) {
        input += i % 10 == 9 ? "not-a-spot here\n" : "IO91VL JN58TD 50.1\n";
    }
    const auto objects = RunBatch(input);
    ASSERT_EQ(objects.size(), 100'000U);
    EXPECT_EQ(objects[99'999]["line"].toInt(), 100'000);
    EXPECT_EQ(objects[99'999]["error"].toString(), "expected FROM TO FREQ [HOME]");
    EXPECT_EQ(objects[99'998]["title"].toString(), "MUF = 73.13mhz,  try towards JN68JS");
}

} // namespace
} // namespace ionvane::cli
