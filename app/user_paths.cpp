// XDG folders, the installed data folder and the save file's place.
#include "app/user_paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#ifndef SOLVERICA_DATA_FROM_BIN
#define SOLVERICA_DATA_FROM_BIN "../share/solverica"
#endif

namespace {

std::string saveFilePath = "res/dat/save.dat";

// $HOME, or the current folder's "." when there is none.
std::string HomeDir()
{
  const char* home = std::getenv("HOME");
  return (home && home[0]) ? home : ".";
}

// An XDG variable when it holds an absolute path, else the fallback under $HOME.
std::string XdgDir(const char* variable, const char* fallback)
{
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return HomeDir() + "/" + fallback;
}

// Whether the path is a folder.
bool IsFolder(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

// The configuration home.
std::string XdgConfigHome()
{
  return XdgDir("XDG_CONFIG_HOME", ".config");
}

// The data home.
std::string XdgDataHome()
{
  return XdgDir("XDG_DATA_HOME", ".local/share");
}

// The line XDG_PICTURES_DIR="..." as the shell would read it: "$HOME/..." or an
// absolute path; anything else is not used (xdg-user-dir ignores it too).
std::string PicturesDirFromUserDirs(const std::string& text, const std::string& home)
{
  std::istringstream lines(text);
  std::string line;
  std::string found;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 17, "XDG_PICTURES_DIR=") != 0) continue;
    std::string value = line.substr(start + 17);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/') found = value;  // the last setting wins
  }
  while (found.size() > 1 && found.back() == '/') found.pop_back();
  return found;
}

// The user-dirs file, else ~/Pictures.
std::string PicturesDir()
{
  std::ifstream file(XdgConfigHome() + "/user-dirs.dirs", std::ios::binary);
  if (file) {
    std::ostringstream text;
    text << file.rdbuf();
    const std::string found = PicturesDirFromUserDirs(text.str(), HomeDir());
    if (!found.empty()) return found;
  }
  return HomeDir() + "/Pictures";
}

// The build folder keeps res/ beside the executable; an install keeps it under the
// data folder, at the same place relative to bin/ as at install time.
std::string FindGameData(const std::string& executableDir, bool* installed)
{
  *installed = false;
  if (IsFolder(executableDir + "/res")) return executableDir;
  const std::string data = executableDir + "/" + SOLVERICA_DATA_FROM_BIN;
  if (IsFolder(data + "/res")) {
    *installed = true;
    return data;
  }
  return "";
}

// From /proc/self/exe; empty when it cannot be read.
std::string ExecutableDir()
{
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return "";
  path[length] = '\0';
  std::string dir(path);
  const size_t slash = dir.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : dir.substr(0, slash));
}

// This run's save file.
const std::string& SaveFilePath()
{
  return saveFilePath;
}

// Chosen once at start-up.
void SetSaveFilePath(const std::string& path)
{
  saveFilePath = path;
}

// Under the data home, since the install folder is read-only.
std::string InstalledSaveFilePath()
{
  return XdgDataHome() + "/solverica/save.dat";
}

// Wherever this run keeps the save file.
std::string SaveFolderPath()
{
  const size_t slash = saveFilePath.rfind('/');
  return slash == std::string::npos ? std::string(".") : saveFilePath.substr(0, slash);
}

// Beside the save file, wherever this run keeps it.
std::string RecordsFilePath()
{
  return saveFilePath.find('/') == std::string::npos ? "records.txt" : SaveFolderPath() + "/records.txt";
}

// mkdir -p.
bool MakeFolders(const std::string& path)
{
  if (path.empty() || IsFolder(path)) return !path.empty();
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && IsFolder(path));
}

// The rename is the moment the new bytes take the old ones' place.
bool WriteFileReplacing(const std::string& path, const std::string& bytes)
{
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return false;
  const std::string temporary = path + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  written = std::fclose(file) == 0 && written;
  written = written && std::rename(temporary.c_str(), path.c_str()) == 0;
  if (written) return true;
  const int error = errno;
  std::remove(temporary.c_str());
  errno = error;
  return false;
}

// Beside the save file, wherever this run keeps it.
std::string ReplayFolderPath()
{
  return SaveFolderPath() + "/replays";
}

// Read in one go: player files are small.
bool ReadWholeFile(const std::string& path, std::string* bytes)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *bytes = all.str();
  return !in.bad();
}

// The path is then free, and the next write starts afresh there.
void SetDamagedFileAside(const std::string& path, const std::string& kind, const std::string& damage,
                         const std::string& then)
{
  const std::string aside = path + ".bad";
  if (std::rename(path.c_str(), aside.c_str()) == 0) {
    std::fprintf(stderr, "solverica: %s: damaged %s, %s; kept as %s, %s\n", path.c_str(), kind.c_str(), damage.c_str(),
                 aside.c_str(), then.c_str());
  } else {
    std::fprintf(stderr, "solverica: %s: damaged %s, %s; cannot keep it as %s (%s), %s\n", path.c_str(), kind.c_str(),
                 damage.c_str(), aside.c_str(), std::strerror(errno), then.c_str());
  }
}
