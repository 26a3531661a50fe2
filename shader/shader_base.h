// The base of the five shader objects: one D3DX effect each, loaded from res/shader.
#pragma once

#include <initializer_list>
#include <string>

#include "d3dx9effect.h"

class CShaderBase {
public:
  ID3DXEffect* effect = nullptr;  // null until loaded, and after a failed load

  CShaderBase() = default;
  virtual ~CShaderBase();
  CShaderBase(const CShaderBase&) = delete;
  CShaderBase& operator=(const CShaderBase&) = delete;

  // Loads the effect file and the shader's own resources.
  virtual void Load() = 0;
  // Releases the effect.
  virtual void ReleaseResources();
  // Gives back everything the shader holds, the effect included, so that the device
  // really goes when the graphics are finalized; Load brings it all back.
  virtual void ReleaseAll();

  // Releases what the shader holds, then compiles the effect file; a failure is
  // reported with the compiler's text and leaves the effect null.
  void LoadEffect(const std::string& path);

  // Links the named techniques now, so that no frame waits for them; the effect links
  // any other technique on its first use. A technique the game never draws with (or a
  // quality setting not in force) then costs the driver nothing.
  void ReadyTechniques(std::initializer_list<const char*> names);
};
