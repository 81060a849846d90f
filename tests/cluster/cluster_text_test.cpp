// The cluster stream's text layers: telnet filter, line splitter and its bound, line cleaning, the
// node's prompts and refusals, and the session log.
#include "cluster/line_splitter.h"
#include "cluster/node_text.h"
#include "cluster/telnet_filter.h"
#include "spot/line_text.h"
#include "station/session_log.h"

#include <QTemporaryDir>

#include <sys/stat.h> // mkfifo

#include <gtest/gtest.h>

namespace ionvane::cluster {
namespace {

struct TelnetCase {
    const char *Name;
    std::string Input;
    std::string Data;
    std::string Replies;
};

TEST(TelnetFilterTest, RefusesEveryOptionAndKeepsTheData) {
    const std::vector<TelnetCase> cases = {
        {"plain text", "login: ", "login: ", ""},
        {"DO terminal type refused with WONT", "\xff\xfd\x18login", "login", "\xff\xfc\x18"},
        {"WILL echo refused with DONT", "a\xff\xfb\x01z", "az", "\xff\xfe\x01"},
        {"WONT and DONT get no answer", "\xff\xfc\x01\xff\xfe\x18x", "x", ""},
        {"IAC IAC is the byte 255",
         "a\xff\xff"
         "b",
         "a\xff"
         "b",
         ""},
        {"subnegotiation removed", "\xff\xfa\x18\x01\xff\xff\x02\xff\xf0ok", "ok", ""},
        {"go ahead and no-op removed", "\xff\xf9\xff\xf1ok", "ok", ""},
        {"an offer repeated is refused once", "\xff\xfb\x01\xff\xfb\x01\xff\xfd\x18\xff\xfd\x18",
         "", "\xff\xfe\x01\xff\xfc\x18"},
        {"an offer withdrawn and made again is refused again",
         "\xff\xfb\x01\xff\xfc\x01\xff\xfb\x01", "", "\xff\xfe\x01\xff\xfe\x01"},
        {"a stray 0xFF 0xFA in a line is text up to its line end", "caf\xff\xfa!\r\nDX de",
         "caf\xff\xfa!\r\nDX de", ""},
        {"a subnegotiation past its bound is text", "\xff\xfa" + std::string(600, 'a') + "\xff\xf0",
         "\xff\xfa" + std::string(600, 'a'), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        // Whole, then a byte at a time: a command split between reads is still one command.
        for (const bool byByte : {false, true}) {
            TelnetFilter filter;
            std::string data;
            std::string replies;
            if (byByte) {
                for (const char ch : c.Input) {
                    filter.Feed(std::string_view(&ch, 1), data, replies);
                }
            } else {
                filter.Feed(c.Input, data, replies);
            }
            EXPECT_EQ(data, c.Data);
            EXPECT_EQ(replies, c.Replies);
        }
    }
}

TEST(LineSplitterTest, KeepsTheTailUntilItsLineEnd) {
    LineSplitter splitter;
    std::vector<std::string> lines;
    splitter.Feed("DX de G4ABC: 50110.0\r", lines);
    EXPECT_TRUE(lines.empty());
    splitter.Feed("\nlogin: ", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"DX de G4ABC: 50110.0"}));
    EXPECT_EQ(splitter.Tail(), "login: ");
    splitter.Feed("\n\r\nbare LF\n", lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"DX de G4ABC: 50110.0", "login: ", "", "bare LF"}));
}

// Pins the 4 KiB bound: a node that never ends its line cannot make the buffer grow.
TEST(LineSplitterTest, CutsALineAtFourKibibytes) {
    LineSplitter splitter;
    std::vector<std::string> lines;
    const std::string longLine(MaxLineBytes + 904, 'x');
    for (std::size_t i = 0; i < longLine.size(); i += 100) {
        splitter.Feed(std::string_view(longLine).substr(i, 100), lines);
        EXPECT_LE(splitter.Tail().size(), MaxLineBytes);
    }
    splitter.Feed("\r\nnext\r\n", lines);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0], std::string(MaxLineBytes, 'x'));
    EXPECT_EQ(lines[1], "next");
    // Exactly at the bound the line is whole.
    splitter.Feed(std::string(MaxLineBytes, 'y') + "\n", lines);
    EXPECT_EQ(lines.back(), std::string(MaxLineBytes, 'y'));
}

struct CleanCase {
    const char *Name;
    std::string Raw;
    std::string Clean;
};

TEST(CleanLineTest, RemovesBellsEscapesAndControlsKeepsTabs) {
    const std::vector<CleanCase> cases = {
        {"two bells of a beeping node", "DX de G4ABC: 50110.0 OH7AB IO91<ES>KP32 1730Z JO01\a\a",
         "DX de G4ABC: 50110.0 OH7AB IO91<ES>KP32 1730Z JO01"},
        {"ANSI colours", "\x1b[1;33mDX de\x1b[0m G4ABC", "DX de G4ABC"},
        {"escape at the end", "text\x1b[", "text"},
        {"two-byte escape",
         "a\x1b"
         "cb",
         "ab"},
        {"tab kept, CR NUL DEL removed", std::string("a\tb\r\0c\x7f", 7), "a\tbc"},
        {"C1 control removed", "a\xc2\x85z", "az"},
        {"invalid UTF-8 replaced", "Gr\xfc\xdf", "Gr\xef\xbf\xbd\xef\xbf\xbd"},
        {"UTF-8 kept", "Kraków", "Kraków"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(spot::CleanLine(c.Raw), c.Clean);
    }
}

struct PromptCase {
    const char *Text;
    Prompt Expect;
};

TEST(NodeTextTest, FindsTheLoginPrompts) {
    const std::vector<PromptCase> cases = {
        {"login: ", Prompt::Call},
        {"Login:", Prompt::Call},
        {"Please enter your call: ", Prompt::Call},
        {"call: ", Prompt::Call},
        {"Enter your CALLSIGN:\t", Prompt::Call},
        {"password: ", Prompt::Password},
        {"Please enter your Password:", Prompt::Password},
        {"DK7UK de DB0XYZ >", Prompt::None},
        {"login", Prompt::None},
        {"Last login: yesterday", Prompt::None},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PromptIn(c.Text), c.Expect) << c.Text;
    }
}

TEST(NodeTextTest, ReadsTheRefusals) {
    EXPECT_TRUE(SaysInvalidCall("Sorry N0CALL is an invalid callsign"));
    EXPECT_TRUE(SaysInvalidCall("SORRY N0CALL IS AN INVALID CALLSIGN"));
    EXPECT_FALSE(SaysInvalidCall("Hello Ham, this is DB0XYZ"));
    EXPECT_TRUE(SaysBadPassword("Sorry, password incorrect"));
    EXPECT_TRUE(SaysBadPassword("Login incorrect"));
    EXPECT_FALSE(SaysBadPassword("Hello Ham, this is DB0XYZ"));
    EXPECT_TRUE(SaysBumped("Reconnected as DK7UK at 10.0.0.2, this instance is disconnected"));
    EXPECT_TRUE(SaysBumped("  reconnected as DK7UK at 10.0.0.2, this instance is DISCONNECTED"));
    EXPECT_FALSE(SaysBumped("DK7UK de G4ABC: Reconnected as DK7UK, this instance is disconnected"));
    EXPECT_FALSE(SaysBumped("Reconnected as DK7UK"));
    EXPECT_TRUE(IsCommandPrompt("DK7UK de DB0XYZ 14-Jun-2026 1158Z dxspider > "));
    EXPECT_FALSE(IsCommandPrompt("login: "));
}

// The user's and others' talk stays private; a time in another zone is written as UTC.
TEST(SessionLogTest, TheLogIsTheUsersAloneAndInUtc) {
    QTemporaryDir dir;
    station::SessionLog log;
    QString error;
    ASSERT_TRUE(log.Open(dir.filePath("session.log"), error));
    EXPECT_EQ(QFile::permissions(dir.filePath("session.log")),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    constexpr int TwoHoursAheadS = 7200;
    const QDateTime berlin(QDate(2026, 6, 14), QTime(12, 0, 25, 900), Qt::OffsetFromUTC,
                           TwoHoursAheadS);
    ASSERT_TRUE(log.Write(berlin, "DX de DK7UK: 50099.0"));
    QFile written(dir.filePath("session.log"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("2026-06-14T10:00:25Z\tDX de DK7UK: 50099.0\n"));
}

// A FIFO without a reader once held the start for good; a device swallows the session.
TEST(SessionLogTest, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
    QTemporaryDir dir;
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    for (const QString &path : {dir.filePath("fifo"), QString("/dev/null")}) {
        QString error;
        EXPECT_FALSE(station::SessionLog().Open(path, error));
        EXPECT_TRUE(error.endsWith(", not a regular file")) << error.toStdString();
    }
}

} // namespace
} // namespace ionvane::cluster
