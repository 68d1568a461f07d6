// The event log: the last lines of game events with their time and colour, and the newest
// message that the heads-up display shows large for a while.
#pragma once
#include <string>

struct LogString {
    std::string Text;   // the line as shown, timestamp included
    double      ColorR; // colour the line is drawn in, 0..1
    double      ColorG; //   green, 0..1
    double      ColorB; //   blue, 0..1
};

constexpr int    LogLines         = 18;    // lines kept in EventLog
constexpr size_t LogLineMaxLength = 75;    // longest message text that goes into a log line
constexpr double MessageShowTime  = 100.0; // MessageTimer on a new message, units of SpeedFactor

extern LogString   EventLog[LogLines]; // index 0 the oldest line, LogLines - 1 the newest
extern std::string CurrentMessage;     // the newest message at full length
extern double      MessageTimer;       // countdown of the large message, units of SpeedFactor

// Adds a line in colour (R, G, B), dropping the oldest, and makes Message the large message.
void AddLogLine(const std::string& Message, double R, double G, double B);

// The timestamp that opens each line: the user's short date, a blank and the long time.
std::string LogTimestamp();
