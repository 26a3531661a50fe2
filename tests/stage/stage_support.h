// Helpers shared by the stage tests: an actor and an effect whose class name, mesh and
// position a test chooses, and a scratch working folder with a small res/ tree.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "actor/actor_base.h"
#include "effect/effect_base.h"

// An actor of any class name that counts its updates and draws.
class CTestActor : public CActorBase {
public:
  explicit CTestActor(const std::string& className = "CTestActor", float x = 0, float y = 0, float z = 0)
      : name(className)
  {
    world._41 = x;
    world._42 = y;
    world._43 = z;
  }
  const std::string& GetName() const override { return name; }
  void Update() override
  {
    ++updates;
    if (destroyOnUpdate) destroyed = 1;
  }
  void Draw() override { ++draws; }

  std::string name;
  int updates = 0;
  int draws = 0;
  int destroyOnUpdate = 0;
};

// An effect at a position that finishes when told.
class CTestEffect : public CEffectBase {
public:
  CTestEffect(int tag, float x, float y, float z) : id(tag)
  {
    world._41 = x;
    world._42 = y;
    world._43 = z;
  }
  void Update() override
  {
    ++updates;
    if (finishOnUpdate) finished = 1;
  }
  void Draw() override {}

  int id;
  int updates = 0;
  int finishOnUpdate = 0;
};

// Works in a fresh folder for the test's life; the folder and its files go afterwards.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::string& name)
      : previous(std::filesystem::current_path()),
        path(std::filesystem::path(::testing::TempDir()) /
             ("solverica_stage_" + name + "_" + std::to_string(::getpid())))
  {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path / "res" / "dat");
    std::filesystem::current_path(path);
  }
  ~ScratchFolder()
  {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(path);
  }
  // Writes a file under the folder.
  void Write(const std::string& relative, const std::string& text) const;
  // The folder the test started in (the build folder, with the generated res/).
  const std::filesystem::path& BuildFolder() const { return previous; }

private:
  std::filesystem::path previous;
  std::filesystem::path path;
};
