// CSpriteStageError: the band of a watched source's build errors.
#include "sprite/sprite_stage_error.h"

#include <algorithm>

#include "app/application.h"
#include "app/stage_watch.h"
#include "engine/graphics.h"

namespace {
const float screenWidth = 1280.0f;
const float screenHeight = 720.0f;
const float margin = 16.0f;
const D3DCOLOR stripColour = 0xC0101018;  // dark, three quarters opaque
const D3DCOLOR textColour = 0xFFFFE0A0;   // warm white, easy on the dark

// A filled rectangle: the fade's white texel stretched and tinted.
void FillStrip(float y, float height)
{
  CApplication* application = CApplication::GetInstance();
  if (!application->fadeTexture.texture) return;
  D3DXMATRIX scale;
  D3DXMATRIX move;
  D3DXMatrixScaling(&scale, screenWidth, height, 1.0f);
  D3DXMatrixTranslation(&move, 0.0f, y, 0.0f);
  D3DXMATRIX matrix;
  D3DXMatrixMultiply(&matrix, &scale, &move);
  OstrelLibrary::CGraphics::GetInstance()->DrawTexture(application->fadeTexture, &matrix, stripColour);
}
}  // namespace

CSpriteStageError::CSpriteStageError() = default;

void CSpriteStageError::Update()
{
}

// A line too wide for the screen is drawn smaller rather than cut.
void CSpriteStageError::Draw()
{
  const std::vector<std::string> lines = Lines();
  if (lines.empty() || !font.IsLoaded()) return;
  const float lineHeight = font.LineHeight(textScale);
  const float height = lineHeight * static_cast<float>(lines.size()) + margin;
  const float top = screenHeight - height;
  FillStrip(top, height);
  for (size_t i = 0; i < lines.size(); ++i) {
    const float width = font.Measure(lines[i], textScale);
    const float fit = width > screenWidth - 2 * margin ? (screenWidth - 2 * margin) / width : 1.0f;
    font.Draw(lines[i], margin, top + margin * 0.5f + lineHeight * static_cast<float>(i), textScale * fit, textColour);
  }
}

std::vector<std::string> CSpriteStageError::Lines() const
{
  std::vector<std::string> lines = StageWatchBandLines();
  if (lines.size() > maxLines) lines.resize(maxLines);
  return lines;
}
