// Colour symbols in 3D: the hit overlay drawn again with the symbol pattern for its
// texture, and the door's marks. The overlay's geometry is borrowed for the draw, so
// nothing here outlives the meshes and pictures the graphics caches own.
#include "actor/colour_symbols.h"

#include <memory>
#include <string>

#include "actor/actor_base.h"
#include "app/settings.h"
#include "engine/graphics.h"
#include "shader/shader_manager.h"

namespace {

// The symbol pattern picture of a colour, for the overlay shells.
std::string PatternPath(int colour)
{
  if (colour == Blue) return "res/game/object/blue_symbol_hit.png";
  if (colour == Red) return "res/game/object/red_symbol_hit.png";
  return "res/game/object/both_symbol_hit.png";
}

// The overlay's geometry lent to a mesh whose textures are the pattern: drawn, then
// handed back before the borrower is destroyed (it owns nothing but the materials).
class CBorrowedShell {
public:
  CBorrowedShell(const OstrelLibrary::CMesh& overlay, const std::shared_ptr<OstrelLibrary::CTexture>& pattern)
  {
    shell.mesh = overlay.mesh;
    shell.materials = overlay.materials;
    shell.textures.assign(overlay.materials.size(), pattern);
    shell.normalTextures.assign(overlay.materials.size(), nullptr);
  }
  ~CBorrowedShell() { shell.mesh = nullptr; }
  CBorrowedShell(const CBorrowedShell&) = delete;
  CBorrowedShell& operator=(const CBorrowedShell&) = delete;
  // The mesh to draw.
  const OstrelLibrary::CMesh& Mesh() const { return shell; }

private:
  OstrelLibrary::CMesh shell;
};

}  // namespace

// The run's settings decide.
bool ColourSymbolsShown()
{
  return RunSettings().colourSymbols;
}

// Plain alpha blending, full opacity, no light and no magic emissive.
void DrawHitSymbols(const OstrelLibrary::CMesh& overlay, int colour)
{
  if (colour == None || !overlay.mesh) return;
  ID3DXEffect* effect = CShaderManager::GetInstance()->toon.effect;
  IDirect3DDevice9* device = OstrelLibrary::CGraphics::GetInstance()->device;
  if (!effect || !device) return;
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  const D3DXVECTOR4 noEmissive(0.0f, 0.0f, 0.0f, 0.0f);
  effect->SetVector("g_force_emissive", &noEmissive);
  effect->SetBool("g_light_enable", FALSE);
  effect->SetFloat("g_alpha", 1.0f);
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  const CBorrowedShell shell(overlay, graphics->GetTexture(device, PatternPath(colour)));
  CShaderManager::GetInstance()->toon.DrawMesh(shell.Mesh(), 0.0f, 0.0f);
}

// The marks' mesh sits on the discs in the door's own frame.
void DrawDoorSymbols(const D3DXMATRIX& world)
{
  OstrelLibrary::CGraphics* graphics = OstrelLibrary::CGraphics::GetInstance();
  ID3DXEffect* effect = CShaderManager::GetInstance()->toon.effect;
  if (!effect || !graphics->device) return;
  const std::shared_ptr<OstrelLibrary::CMesh> marks =
      graphics->GetMesh(graphics->device, "res/game/object/rotation_door_symbols.x");
  if (!marks || !marks->mesh) return;
  effect->SetMatrix("g_world_mat", &world);
  CShaderManager::GetInstance()->toon.DrawMesh(*marks, 0.0f, 0.0f);
}
