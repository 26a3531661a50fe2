// Edits the text of settings.ini line by line, so that a player's file keeps its
// comments, its order, its line ends and the lines the game does not know: a known
// key's value is replaced where it stands, a key the file lacks is appended.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The key of a "key = value" line (trimmed, lower case), or "" for a comment, a
// section, a blank or any other line.
std::string SettingsLineKey(const std::string& line);

// Where the value of a line ends: at a comment ('#' or ';' after a blank, as in
// "music_volume = 80   # late at night") or at the line's end. `start` is where the
// value begins.
size_t SettingsValueEnd(const std::string& line, size_t start);

// The text with each named key set to its value. Every line of a key is changed (the
// last one read wins, so none may be left behind); keys not found go at the end, in
// the order given, with the file's own line end (CR LF when it uses it). A byte order
// mark and a missing last line end are kept as they were.
std::string EditSettingsText(const std::string& text, const std::vector<std::pair<std::string, std::string>>& values);
