// Effects on the headless device: what a pass draws, which parameters reach it, which
// states it changes and gives back, and how a broken effect file is reported.
#include "d3dx9effect.h"

#include <fstream>
#include <iterator>
#include <string>

#include "../render/render_fixture.h"
#include "effect_file.h"

namespace {

// A screen-quad effect: "Fill" paints g_colour, "Tint" paints g_colour times g_scale,
// "Moved" places the quad through g_world_mat.
const char* kQuadEffect =
    "common\n"
    "uniform vec4 g_colour = vec4(1.0, 0.0, 1.0, 1.0);\n"
    "uniform float g_scale = 1.0;\n"
    "uniform mat4 g_world_mat = mat4(1.0);\n"
    "uniform vec2 fx_target_size;\n"
    "end\n"
    "technique Fill\n"
    "  pass P0\n"
    "    state CULLMODE NONE\n"
    "    state ZENABLE FALSE\n"
    "    vertex\n"
    "in vec4 inPosition;\n"
    "void main() { gl_Position = vec4(inPosition.x / fx_target_size.x * 2.0 - 1.0,"
    " 1.0 - inPosition.y / fx_target_size.y * 2.0, 0.0, 1.0); }\n"
    "    end\n"
    "    fragment\n"
    "out vec4 colour;\n"
    "void main() { colour = g_colour; }\n"
    "    end\n"
    "technique Tint\n"
    "  pass P0\n"
    "    state ZENABLE FALSE\n"
    "    vertex\n"
    "in vec4 inPosition;\n"
    "void main() { gl_Position = vec4(inPosition.x / fx_target_size.x * 2.0 - 1.0,"
    " 1.0 - inPosition.y / fx_target_size.y * 2.0, 0.0, 1.0); }\n"
    "    end\n"
    "    fragment\n"
    "out vec4 colour;\n"
    "void main() { colour = vec4(g_colour.rgb * g_scale, g_colour.a); }\n"
    "    end\n"
    "technique Moved\n"
    "  pass P0\n"
    "    state ZENABLE FALSE\n"
    "    state CULLMODE NONE\n"
    "    vertex\n"
    "in vec4 inPosition;\n"
    "void main() {\n"
    "  vec4 p = mul(vec4(inPosition.x / fx_target_size.x * 2.0 - 1.0,"
    " 1.0 - inPosition.y / fx_target_size.y * 2.0, 0.0, 1.0), g_world_mat);\n"
    "  gl_Position = p;\n"
    "}\n"
    "    end\n"
    "    fragment\n"
    "out vec4 colour;\n"
    "void main() { colour = g_colour; }\n"
    "    end\n";

class EffectTest : public RenderTest {
protected:
  // Writes an effect file into the scratch folder and returns its path.
  std::string WriteEffect(const std::string& name, const std::string& text)
  {
    const std::string path = TestScratchDir() + "/" + name;
    std::ofstream(path) << text;
    return path;
  }

  // Compiles an effect, failing the test when it does not compile.
  ID3DXEffect* Load(const std::string& text)
  {
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT result = D3DXCreateEffectFromFileA(device, WriteEffect("quad.cso", text).c_str(), nullptr, nullptr, 0,
                                                     nullptr, &effect, &errors);
    EXPECT_EQ(result, D3D_OK) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    if (errors) errors->Release();
    return effect;
  }

  // Draws a screen quad with one technique of the effect.
  void DrawQuad(ID3DXEffect* effect, const char* technique, float x, float y, float w, float h)
  {
    ASSERT_EQ(effect->SetTechnique(technique), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(passes, 1u);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    graphics->DrawScreenQuad(x, y, w, h);
    effect->EndPass();
    effect->End();
  }
};

TEST_F(EffectTest, PassDrawsItsQuadWithTheParameterColour)
{
  ID3DXEffect* effect = Load(kQuadEffect);
  ASSERT_NE(effect, nullptr);
  const D3DXVECTOR4 green(0.0f, 1.0f, 0.0f, 1.0f);
  effect->SetVector("g_colour", &green);
  DrawQuad(effect, "Fill", 100.0f, 50.0f, 200.0f, 100.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(150, 80), 0xFF00FF00, 2));
  EXPECT_TRUE(RgbNear(BackBufferPixel(100, 50), 0xFF00FF00, 2));   // first row and column are in
  EXPECT_TRUE(RgbNear(BackBufferPixel(299, 149), 0xFF00FF00, 2));  // last ones too
  EXPECT_TRUE(RgbNear(BackBufferPixel(300, 80), 0xFF000000, 2));   // right edge is out
  EXPECT_TRUE(RgbNear(BackBufferPixel(150, 150), 0xFF000000, 2));  // bottom edge is out
  effect->Release();
}

TEST_F(EffectTest, ParametersKeepTheirValuesAcrossTechniquesAndFrames)
{
  ID3DXEffect* effect = Load(kQuadEffect);
  ASSERT_NE(effect, nullptr);
  const D3DXVECTOR4 blue(0.0f, 0.0f, 1.0f, 1.0f);
  effect->SetVector("g_colour", &blue);
  effect->SetFloat("g_scale", 0.5f);
  DrawQuad(effect, "Fill", 0.0f, 0.0f, 10.0f, 10.0f);
  device->Present(nullptr, nullptr, nullptr, nullptr);
  // Another technique, a frame later, with nothing set again.
  DrawQuad(effect, "Tint", 20.0f, 0.0f, 10.0f, 10.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(5, 5), 0xFF0000FF, 2));
  EXPECT_TRUE(RgbNear(BackBufferPixel(25, 5), 0xFF000080, 2));
  float scale = 0.0f;
  ASSERT_EQ(effect->GetValue("g_scale", &scale, sizeof(scale)), D3D_OK);
  EXPECT_FLOAT_EQ(scale, 0.5f);
  // A parameter no pass reads is kept without complaint.
  EXPECT_EQ(effect->SetFloat("g_not_in_the_file", 2.0f), D3D_OK);
  effect->Release();
}

TEST_F(EffectTest, UnsetParametersKeepTheFileDefaults)
{
  ID3DXEffect* effect = Load(kQuadEffect);
  ASSERT_NE(effect, nullptr);
  DrawQuad(effect, "Fill", 0.0f, 0.0f, 10.0f, 10.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(5, 5), 0xFFFF00FF, 2));
  effect->Release();
}

TEST_F(EffectTest, MatricesActAsRowVectorsTimesMatrix)
{
  ID3DXEffect* effect = Load(kQuadEffect);
  ASSERT_NE(effect, nullptr);
  // A translation of +0.5 in clip x moves the quad right by a quarter of the screen.
  D3DXMATRIX moved;
  D3DXMatrixTranslation(&moved, 0.5f, 0.0f, 0.0f);
  effect->SetMatrix("g_world_mat", &moved);
  const D3DXVECTOR4 white(1.0f, 1.0f, 1.0f, 1.0f);
  effect->SetVector("g_colour", &white);
  DrawQuad(effect, "Moved", 0.0f, 0.0f, 100.0f, 100.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(50, 50), 0xFF000000, 2));
  EXPECT_TRUE(RgbNear(BackBufferPixel(320 + 50, 50), 0xFFFFFFFF, 2));
  effect->Release();
}

TEST_F(EffectTest, PassGivesBackOnlyTheStatesItDeclares)
{
  ID3DXEffect* effect = Load(kQuadEffect);
  ASSERT_NE(effect, nullptr);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  // The caller's additive blending must reach the draw: the pass does not declare it.
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  const D3DXVECTOR4 dim(0.25f, 0.25f, 0.25f, 1.0f);
  effect->SetVector("g_colour", &dim);
  ASSERT_EQ(effect->SetTechnique("Fill"), D3D_OK);
  UINT passes = 0;
  effect->Begin(&passes, 0);
  effect->BeginPass(0);
  DWORD cull = 0;
  device->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_NONE));
  graphics->DrawScreenQuad(0.0f, 0.0f, 10.0f, 10.0f);
  graphics->DrawScreenQuad(0.0f, 0.0f, 10.0f, 10.0f);
  effect->EndPass();
  effect->End();
  device->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
  DWORD destination = 0;
  device->GetRenderState(D3DRS_DESTBLEND, &destination);
  EXPECT_EQ(destination, static_cast<DWORD>(D3DBLEND_ONE));
  EXPECT_TRUE(RgbNear(BackBufferPixel(5, 5), 0xFF808080, 3));
  effect->Release();
}

TEST_F(EffectTest, BrokenOrMissingFilesFailWithTheCompilerText)
{
  ID3DXEffect* effect = nullptr;
  ID3DXBuffer* errors = nullptr;
  const std::string missing = TestScratchDir() + "/missing.cso";
  EXPECT_TRUE(
      FAILED(D3DXCreateEffectFromFileA(device, missing.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors)));
  EXPECT_EQ(effect, nullptr);
  ASSERT_NE(errors, nullptr);
  EXPECT_NE(std::string(static_cast<const char*>(errors->GetBufferPointer())).find("missing.cso"), std::string::npos);
  errors->Release();

  std::string broken = kQuadEffect;
  broken.replace(broken.find("colour = g_colour; }"), 20, "colour = g_colur; }");
  const std::string path = WriteEffect("broken.cso", broken);
  errors = nullptr;
  EXPECT_TRUE(FAILED(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors)));
  EXPECT_EQ(effect, nullptr);
  ASSERT_NE(errors, nullptr);
  const std::string text = static_cast<const char*>(errors->GetBufferPointer());
  EXPECT_NE(text.find("Fill/P0"), std::string::npos) << text;
  EXPECT_NE(text.find("g_colur"), std::string::npos) << text;
  errors->Release();

  const std::string badState = WriteEffect(
      "state.cso",
      std::string(kQuadEffect).replace(std::string(kQuadEffect).find("CULLMODE NONE"), 13, "CULLMODE SIDEWAYS"));
  errors = nullptr;
  EXPECT_TRUE(
      FAILED(D3DXCreateEffectFromFileA(device, badState.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors)));
  ASSERT_NE(errors, nullptr);
  EXPECT_NE(std::string(static_cast<const char*>(errors->GetBufferPointer())).find("SIDEWAYS"), std::string::npos);
  errors->Release();
}

// A pass is linked on its first use, so a pass whose stages compile but do not link
// fails there, each time, and the effect's other passes still work.
TEST_F(EffectTest, APassThatDoesNotLinkFailsWhereItIsFirstUsed)
{
  // The same uniform as a float in one stage and a vec2 in the other.
  std::string unlinked = kQuadEffect;
  const size_t tintVertex = unlinked.find("void main()", unlinked.find("technique Tint"));
  unlinked.insert(tintVertex, "uniform float g_clash;\n");
  unlinked.replace(unlinked.find("gl_Position = vec4(", tintVertex), 19, "gl_Position = g_clash * vec4(");
  const std::string tint = "void main() { colour = vec4(g_colour.rgb * g_scale, g_colour.a); }";
  unlinked.replace(unlinked.find(tint), tint.size(),
                   "uniform vec2 g_clash;\nvoid main() { colour = vec4(g_clash, 0.0, 1.0); }");
  ID3DXEffect* effect = Load(unlinked);
  ASSERT_NE(effect, nullptr) << "both stages compile";
  EXPECT_EQ(effect->ValidateTechnique("Tint"), E_FAIL);
  EXPECT_EQ(effect->ValidateTechnique("Fill"), D3D_OK);
  EXPECT_EQ(effect->ValidateTechnique("NoSuchTechnique"), D3DERR_INVALIDCALL);
  ASSERT_EQ(effect->SetTechnique("Tint"), D3D_OK);
  ASSERT_EQ(effect->Begin(nullptr, 0), D3D_OK);
  EXPECT_EQ(effect->BeginPass(0), E_FAIL);
  EXPECT_EQ(effect->BeginPass(0), E_FAIL) << "not linked again";
  EXPECT_EQ(effect->End(), D3D_OK);
  DrawQuad(effect, "Fill", 0.0f, 0.0f, 16.0f, 16.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(5, 5), 0xFFFF00FF, 3));
  effect->Release();
}

// Every pass of every game effect compiles when the effect is made and links when used.
TEST_F(EffectTest, EveryGameEffectCompilesAndEveryPassLinksOnTheDevice)
{
  const char* names[] = {"ToonShader", "OutlineShader", "BlurShader", "ShadowMapShader", "PuddleShader"};
  for (const char* name : names) {
    const std::string path = std::string("res/shader/") + name + ".cso";
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    EXPECT_EQ(D3DXCreateEffectFromFileA(device, path.c_str(), nullptr, nullptr, 0, nullptr, &effect, &errors), D3D_OK)
        << path << ": " << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    if (errors) errors->Release();
    if (!effect) continue;
    std::ifstream file(path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    effectfile::EffectDesc desc;
    std::string error;
    ASSERT_TRUE(effectfile::Parse(text, &desc, &error)) << path << ": " << error;
    for (const effectfile::TechniqueDesc& technique : desc.techniques)
      EXPECT_EQ(effect->ValidateTechnique(technique.name.c_str()), D3D_OK) << path << " " << technique.name;
    effect->Release();
  }
}

}  // namespace
