// Where the game's files live. Run from the build (`make run`) everything is in the working
// folder, as it always was. An installed game (the executable in PREFIX/bin with its data in
// PREFIX/share/tarvix) works in its data folder and keeps what it writes - the settings files and
// screenshots - in the user's own folder: $XDG_CONFIG_HOME/tarvix, else ~/.config/tarvix.
#pragma once
#include <string>

extern std::string UserFolder; // the user's folder for written files; empty: the working folder

// Looks for PREFIX/share/tarvix beside the running executable. When found, makes it the working
// folder and sets UserFolder (created if missing). False only when an installed game could not
// enter its data folder or make the user folder; the game then carries on where it is.
bool SetUpUserPaths();

// The data folder of an installed executable at ExePath ("PREFIX/bin/tarvix" gives
// "PREFIX/share/tarvix" when that folder holds the game's textures); empty otherwise.
std::string InstalledDataFolder(const std::string& ExePath);

// $XDG_CONFIG_HOME/tarvix when that is set and absolute, else $HOME/.config/tarvix.
std::string UserConfigFolder();

// A file the game writes, named as in the working folder ("./default.ini"): the same name in
// UserFolder when there is one, else the name unchanged.
std::string UserFilePath(const std::string& Name);
