// The stage file and the actor factory: the file name for a stage number, reading the
// entries (a class name and a position each), and creating a gimmick from its name.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "d3dx9.h"

class CActorBase;

// One entry of a stage file: the class name and the world matrix built from the position.
struct StageEntry {
  std::string name;
  D3DXMATRIX world;
  int numbersRead = 0;  // of the three coordinates; fewer means the entry was cut short
};

// The base path with ".N" inserted before its extension ("res/dat/map.dat" and 3 give
// "res/dat/map.3.dat"); N is cut to one character. "" when the base has no dot.
std::string StageFileName(const std::string& basePath, int stageNumber);

// Reads every entry of an open stage file, in file order. A number that cannot be read
// stays 0 and the reader goes on; a name of 256 characters or more yields no entry.
std::vector<StageEntry> ReadStageEntries(FILE* file);

// Appends a new gimmick of the named class to the list; any other name creates nothing.
void CreateActorByName(const std::string& name, const D3DXMATRIX& world,
                       std::vector<std::shared_ptr<CActorBase>>& actors);
