// The event log: AddLogLine scrolls the table up by one line and stamps the new line.
#include "core/EventLog.h"

#include <clocale>
#include <ctime>

LogString   EventLog[LogLines];
std::string CurrentMessage;
double      MessageTimer = 0.0;

// The date and time follow the user's locale; a process with no usable locale settings gets
// the C locale's forms. Only the time category is touched, so number formatting (the settings
// files write "." as the decimal separator) stays in the C locale.
static void UseUserTimeLocale() {
    static bool Done = false;
    if (Done)
        return;
    Done = true;
    if (!std::setlocale(LC_TIME, ""))
        std::setlocale(LC_TIME, "C");
}

std::string LogTimestamp() {
    UseUserTimeLocale();
    const std::time_t Now = std::time(nullptr);
    std::tm           Local{};
    localtime_r(&Now, &Local);
    char Text[128];
    const size_t Length = std::strftime(Text, sizeof Text, "%x %X", &Local);
    return std::string(Text, Length);
}

void AddLogLine(const std::string& Message, double R, double G, double B) {
    CurrentMessage = Message;
    MessageTimer = MessageShowTime;
    const std::string Shown = Message.substr(0, LogLineMaxLength);
    for (int I = 0; I < LogLines - 1; ++I)
        EventLog[I] = std::move(EventLog[I + 1]);
    EventLog[LogLines - 1] = LogString{LogTimestamp() + ":" + Shown, R, G, B};
}
