// The best times: one per stage and one for the whole game, kept in records.txt beside
// the save file. The file is plain text a person can read and edit:
//
//   # comments run from '#' to the end of the line
//   stage 3 2841   # 1:15.45
//   game 61250
//
// Times are update ticks of 16 ms; a stage without a line has no time yet. A byte-order
// mark, CR LF line ends, blank lines and comments are all allowed. Anything else (an
// unknown word, a stage that does not exist, a time that is not a positive number, a
// line twice) makes the file damaged: it is named on standard error, kept aside as
// records.txt.bad, and the game goes on with no times. Writes go through a temporary
// file and a rename, so a crash leaves the old file or the new one.
#pragma once

#include <string>

class CRecords {
public:
  static constexpr int kStageCount = 8;

  // Every time empty.
  void Clear();
  // A stage's best ticks (stages 1 to 8); 0 when it has none.
  int StageBest(int stage) const;
  // The whole game's best ticks; 0 when there is none.
  int GameBest() const;
  // Keeps the time when the stage has none or it beats the best; true when it did.
  bool OfferStage(int stage, int ticks);
  // The same for the whole game.
  bool OfferGame(int ticks);

  // Reads the text of a records file; an empty string when it is sound, else what is
  // wrong with it (the records are then left empty).
  std::string Parse(const std::string& text);
  // The text of a records file holding these times.
  std::string Text() const;

  // Reads the file at the path; a missing file is no records. A damaged or unreadable
  // one is named on standard error and moved to PATH.bad. False when it was damaged.
  bool Load(const std::string& path);
  // Writes the file through PATH.tmp and a rename; a failure is named on standard
  // error and the times stay in memory. True when written.
  bool Save(const std::string& path) const;

private:
  int stageBest[kStageCount] = {};
  int gameBest = 0;
};

class CGameClock;

// What the clear screen shows of a stage's run.
struct ClearTime {
  int ticks = 0;         // this run
  int previousBest = 0;  // the best before it; 0 when there was none
  bool newBest = false;  // this run became the best
};

// A stage cleared in `ticks`: the time offered to the records and added to the whole
// game's clock; after the last stage (8, or a stage set's last) the whole game's time
// is offered too. True when the records changed and want writing.
bool RecordStageClear(CRecords& records, CGameClock& game, int stage, int ticks, ClearTime* shown,
                      int lastStage = CRecords::kStageCount);

// The game's records, read from RecordsFilePath() on first use.
CRecords& GameRecords();
// Writes the game's records to RecordsFilePath().
void SaveGameRecords();
// Reads the game's records again from RecordsFilePath() (start-up, tests).
void ReloadGameRecords();
