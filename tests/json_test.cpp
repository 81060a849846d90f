// The JSON writer of ionvane-cli's lines.
#include "cli/json.h"

#include <gtest/gtest.h>

#include <string>

namespace ionvane::cli {
namespace {

TEST(JsonString, EscapesWhereverTheCharacterStands) {
    struct Case {
        std::string Text;
        std::string Json;
    };
    const Case cases[] = {
        {"plain label text, long enough", "\"plain label text, long enough\""},
        {"0123456\"89", "\"0123456\\\"89\""}, // a quote at the end of the first eight bytes
        {"01234567\\", "\"01234567\\\\\""},   // a backslash just past them
        {std::string("0123456789abcde\x1f", 16), "\"0123456789abcde\\u001f\""},
        {std::string("\0x", 2), "\"\\u0000x\""},
        {"tab\there\nand\rback", "\"tab\\there\\nand\\rback\""},
        {"Zürich ° \x7f ok", "\"Zürich ° \x7f ok\""}, // bytes past ASCII pass as they are
        {"", "\"\""},
    };
    for (const auto &c : cases) {
        std::string json;
        AppendJsonString(json, c.Text);
        EXPECT_EQ(json, c.Json);
    }
}

} // namespace
} // namespace ionvane::cli
