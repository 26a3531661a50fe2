// Where the game's files live on a Linux desktop: the XDG folders of the user
// (configuration, data, pictures), where the game's own data was installed, and the
// save file's place for this run.
#pragma once

#include <string>

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
std::string XdgConfigHome();
// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::string XdgDataHome();
// The pictures folder as xdg-user-dir names it: XDG_PICTURES_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs ($HOME expanded), else ~/Pictures.
std::string PicturesDir();
// The value of XDG_PICTURES_DIR in the text of a user-dirs.dirs file, $HOME expanded;
// empty when the file does not set it.
std::string PicturesDirFromUserDirs(const std::string& text, const std::string& home);

// Where the game's res/ is, given the folder of the executable: beside it (the build
// folder), or under the installed data folder relative to it. Empty when neither
// holds res/. `installed` says which.
std::string FindGameData(const std::string& executableDir, bool* installed);
// The folder of the running executable.
std::string ExecutableDir();

// The save file of this run: res/dat/save.dat (relative to the data folder) unless an
// installed game moved it to $XDG_DATA_HOME/solverica/save.dat.
const std::string& SaveFilePath();
void SetSaveFilePath(const std::string& path);
// The folder of the save file ("." when it names none); records, replays and stage
// sets are kept there.
std::string SaveFolderPath();
// Where replays are kept: replays/ in the save file's folder.
std::string ReplayFolderPath();
// The per-user save file of an installed game.
std::string InstalledSaveFilePath();
// The best times, records.txt in the save file's folder.
std::string RecordsFilePath();

// Makes a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

// Writes a player file through <path>.tmp renamed over it (its folder made first), so a
// crash never leaves half a file. On failure the temporary is gone, the old file stands
// and errno says why.
bool WriteFileReplacing(const std::string& path, const std::string& bytes);
// The whole of a file, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);
// A damaged player file is renamed to <path>.bad, where the player (or a bug report)
// still finds it, and named once on standard error: "damaged KIND, DAMAGE; kept as
// <path>.bad, THEN" (or why it could not be kept).
void SetDamagedFileAside(const std::string& path, const std::string& kind, const std::string& damage,
                         const std::string& then);
