// The game setup as a whole and the way into a game: the level that owns both the world and the
// menu puts their parts together, so the menu's actions, the main routine and the benchmark all
// go through the same routines.
#pragma once

// Game setup, run at program start, at every new game and at every resume: on the first start
// the custom arena from "./lastarena.ini" (unless ArenaFromFile is off) and the menu's part,
// then the world's blocks (SetupGameWorld).
void GameSetup();

// Leaves the menu for the game: the display mode the settings want, a new arena from the
// custom-arena values when NewGame is true (else the game in progress is resumed), and the
// effects volume from the settings.
void EnterGame(bool NewGame);

// Acts on a game entry the menu asked for (GameEntryRequest) and clears the request.
void EnterRequestedGame();
