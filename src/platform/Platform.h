// Stand-ins for the Windows services the game relies on: message boxes and file names.
#pragma once
#include <string>

// Shows a modal message box with an OK button. Always writes "caption: text" to standard
// error; shows no dialog when TARVIX_NO_DIALOGS is set or no dialog can be shown.
void ShowMessage(const std::string& Text, const std::string& Caption);

// Number of messages shown since start; lets tests count reports.
extern int MessagesShown;
extern std::string LastMessageText;    // text of the latest message
extern std::string LastMessageCaption; // caption of the latest message

// The game names files with both "/" and "\" ("fonts\font"); this turns every "\" into "/".
std::string NativePath(const std::string& Name);

// Closes whatever is left of the platform layer's subsystems; the last call before the exit.
void ClosePlatform();
