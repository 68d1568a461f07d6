// The event log: scrolling, the cut of long lines, the large message and the timestamp.
#include <clocale>
#include <ctime>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <tuple>

#include "core/EventLog.h"

namespace {

class EventLogLines : public ::testing::Test {
  protected:
    void SetUp() override {
        for (LogString& L : EventLog)
            L = LogString{"", 1, 1, 1};
        CurrentMessage.clear();
        MessageTimer = 0;
    }
    // The message part of a log line: what follows the timestamp and its ":".
    static std::string MessageOf(const LogString& L) {
        const std::string Stamp = LogTimestamp();
        return L.Text.size() > Stamp.size() ? L.Text.substr(Stamp.size() + 1) : "";
    }
};

// After 18 lines the first has left the log, after 19 the second too; each line keeps the
// colour it was added in as it scrolls.
TEST_F(EventLogLines, OldestLinesLeaveAfterEighteenWithTheirColours) {
    for (int I = 1; I <= 18; ++I)
        AddLogLine("Line " + std::to_string(I), I / 100.0, 1, 0);
    EXPECT_EQ(MessageOf(EventLog[0]), "Line 1");
    EXPECT_EQ(MessageOf(EventLog[LogLines - 1]), "Line 18");

    AddLogLine("Line 19", 0.19, 1, 0);
    EXPECT_EQ(MessageOf(EventLog[0]), "Line 2"); // the first line has gone
    AddLogLine("Line 20", 0.20, 1, 0);
    for (int I = 0; I < LogLines; ++I) {
        const LogString& L = EventLog[I];
        EXPECT_EQ(MessageOf(L), "Line " + std::to_string(I + 3)); // and the second
        EXPECT_EQ(std::tie(L.ColorR, L.ColorG, L.ColorB),
                  std::make_tuple((I + 3) / 100.0, 1.0, 0.0));
    }
}

TEST_F(EventLogLines, LongMessageIsCutInTheLogButKeptWholeOnScreen) {
    const std::string Long = std::string(75, 'a') + "bcdef"; // 80 characters
    AddLogLine(Long, 1, 1, 1);
    EXPECT_EQ(CurrentMessage, Long);
    EXPECT_EQ(MessageOf(EventLog[17]), std::string(75, 'a'));

    const std::string Exact(75, 'x');
    AddLogLine(Exact, 1, 1, 1);
    EXPECT_EQ(MessageOf(EventLog[17]), Exact);
}

TEST_F(EventLogLines, NewMessageRestartsTheLargeMessage) {
    AddLogLine("Camera changed", 1, 1, 1);
    EXPECT_EQ(MessageTimer, 100.0);
    MessageTimer = 37.5; // the heads-up display has been counting down
    AddLogLine("FPS ON", 1, 1, 1);
    EXPECT_EQ(MessageTimer, 100.0);
    EXPECT_EQ(CurrentMessage, "FPS ON");
}

TEST_F(EventLogLines, LineIsTimestampColonMessage) {
    const std::string Before = LogTimestamp();
    AddLogLine("Game init complete!", 1, 0, 0);
    const std::string  After = LogTimestamp();
    const std::string& Text = EventLog[17].Text;
    EXPECT_TRUE(Text == Before + ":Game init complete!" || Text == After + ":Game init complete!")
        << Text;

    // The stamp is the locale's short date, a blank and its long time.
    std::tm     Now{};
    const char* Rest = strptime(Before.c_str(), "%x %X", &Now);
    ASSERT_NE(Rest, nullptr) << Before;
    EXPECT_STREQ(Rest, "");
    const std::string Locale = std::setlocale(LC_TIME, nullptr);
    if (Locale == "C" || Locale == "POSIX" || Locale.rfind("C.", 0) == 0) {
        EXPECT_TRUE(std::regex_match(Before, std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)")))
            << Before;
    }
}

} // namespace
