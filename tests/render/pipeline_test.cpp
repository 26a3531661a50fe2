// The device's fixed pipeline: start-up states and failure message, triangles under
// LookAtLH/PerspectiveFovLH (position, orientation, culling, depth, fog), the textured
// world quad, the screen quad, and switching render targets.
#include "render_fixture.h"

#include <cmath>
#include <cstring>

#include "d3d9_internal.h"
#include "engine/depth_buffer.h"
#include "effect_file.h"
#include "test_seam.h"
#include "win32_internal.h"
#include "win32_state.h"

using OstrelLibrary::CTexture;
using OstrelLibrary::TexturedVertex;

namespace {

struct ColourVertex {
  float x, y, z;
  D3DCOLOR colour;
};

DWORD Bits(float f)
{
  DWORD d;
  std::memcpy(&d, &f, sizeof(d));
  return d;
}

// Where a world point lands in back-buffer pixels, worked out with the math library.
D3DXVECTOR3 Project(const D3DXVECTOR3& world, const D3DXMATRIX& view, const D3DXMATRIX& projection)
{
  D3DXMATRIX viewProjection;
  D3DXMatrixMultiply(&viewProjection, &view, &projection);
  D3DXVECTOR3 clip;
  D3DXVec3TransformCoord(&clip, &world, &viewProjection);
  return D3DXVECTOR3((clip.x + 1.0f) * 0.5f * 1280.0f, (1.0f - clip.y) * 0.5f * 720.0f, clip.z);
}

// A camera at (0, 0, -5) looking at the origin, y up, 45 degrees, 16:9.
void SetCamera(IDirect3DDevice9* device, D3DXMATRIX* view, D3DXMATRIX* projection)
{
  const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
  D3DXMatrixLookAtLH(view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(projection, D3DX_PI / 4, 1280.0f / 720.0f, 1.0f, 200.0f);
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  device->SetTransform(D3DTS_WORLD, &identity);
  device->SetTransform(D3DTS_VIEW, view);
  device->SetTransform(D3DTS_PROJECTION, projection);
}

void DrawTriangle(IDirect3DDevice9* device, const ColourVertex (&v)[3])
{
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  device->SetTexture(0, nullptr);
  device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColourVertex));
}

}  // namespace

// SetDefaultStates leaves the values the game relies on.
TEST_F(RenderTest, DefaultStates)
{
  const std::pair<D3DRENDERSTATETYPE, DWORD> expected[] = {{D3DRS_ZENABLE, TRUE},
                                                           {D3DRS_ZWRITEENABLE, TRUE},
                                                           {D3DRS_STENCILENABLE, TRUE},
                                                           {D3DRS_ALPHABLENDENABLE, TRUE},
                                                           {D3DRS_BLENDOP, D3DBLENDOP_ADD},
                                                           {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                                           {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                                           {D3DRS_CULLMODE, D3DCULL_CCW},
                                                           {D3DRS_SEPARATEALPHABLENDENABLE, TRUE},
                                                           {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
                                                           {D3DRS_DESTBLENDALPHA, D3DBLEND_INVSRCALPHA},
                                                           {D3DRS_LIGHTING, TRUE},
                                                           {D3DRS_SPECULARENABLE, TRUE},
                                                           {D3DRS_FOGENABLE, TRUE},
                                                           {D3DRS_FOGCOLOR, 0xFF000000},
                                                           {D3DRS_FOGTABLEMODE, D3DFOG_LINEAR},
                                                           {D3DRS_FOGSTART, Bits(40.0f)},
                                                           {D3DRS_FOGEND, Bits(100.0f)}};
  for (const auto& [state, value] : expected) {
    DWORD actual = 0;
    ASSERT_EQ(device->GetRenderState(state, &actual), D3D_OK);
    EXPECT_EQ(actual, value) << "state " << state;
  }
  DWORD bias = 0;
  device->GetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, &bias);
  EXPECT_EQ(bias, 0xFFFFFFFFu);
  D3DLIGHT9 light;
  ASSERT_EQ(device->GetLight(0, &light), D3D_OK);
  const float length = std::sqrt(0.25f + 1.0f + 0.09f);
  EXPECT_NEAR(light.Direction.x, 0.5f / length, 1e-5);
  EXPECT_NEAR(light.Direction.y, -1.0f / length, 1e-5);
  EXPECT_NEAR(light.Ambient.r, 0.3f, 1e-6);
  BOOL enabled = FALSE;
  device->GetLightEnable(0, &enabled);
  EXPECT_TRUE(enabled);
  // The windowed back buffer is the client area.
  EXPECT_EQ(graphics->presentParameters.BackBufferWidth, 1280u);
  EXPECT_EQ(graphics->presentParameters.BackBufferHeight, 720u);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

// A window the device cannot use fails all three attempts and shows the start-up message.
TEST_F(RenderTest, DeviceFailureShowsTheMessage)
{
  graphics->Finalize();
  Win32TestTakeMessageBoxes();
  Win32TestQueueMessageBoxAnswer(IDOK);
  EXPECT_FALSE(graphics->Init(nullptr, 1280, 720, false));
  const std::vector<Win32MessageBoxRecord> boxes = Win32TestTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Direct3Dの初期化に失敗しました");
  EXPECT_EQ(boxes[0].caption, "Direct3D初期化失敗");
  EXPECT_EQ(boxes[0].type & MB_ICONMASK, (UINT)MB_ICONERROR);
  EXPECT_EQ(graphics->device, nullptr);
}

// A clockwise triangle (as seen by the camera) is drawn where the projection puts it, the
// right way up; with the default CULLMODE = CCW its mirror image is culled.
TEST_F(RenderTest, TriangleLandsWhereTheMathSaysAndCullsCounterClockwise)
{
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DXMATRIX view, projection;
  SetCamera(device, &view, &projection);
  // Top vertex red, bottom ones blue; clockwise on screen: top, bottom right, bottom left.
  const ColourVertex clockwise[3] = {{0, 1, 0, 0xFFFF0000}, {1, -1, 0, 0xFF0000FF}, {-1, -1, 0, 0xFF0000FF}};
  DrawTriangle(device, clockwise);

  const D3DXVECTOR3 top = Project(D3DXVECTOR3(0, 1, 0), view, projection);
  const D3DXVECTOR3 right = Project(D3DXVECTOR3(1, -1, 0), view, projection);
  const D3DXVECTOR3 centre = Project(D3DXVECTOR3(0, 0, 0), view, projection);
  EXPECT_LT(top.y, centre.y);  // y up in the world is up on the screen
  // Just inside the apex is reddish, just inside the base bluish, above the apex is empty.
  const D3DCOLOR nearTop = BackBufferPixel((int)top.x, (int)top.y + 6);
  const D3DCOLOR nearBase = BackBufferPixel((int)centre.x, (int)right.y - 3);
  EXPECT_GT(ChannelR(nearTop), 200);
  EXPECT_LT(ChannelB(nearTop), 40);
  EXPECT_GT(ChannelB(nearBase), 200);
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)top.x, (int)top.y - 4), 0, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)right.x + 4, (int)right.y - 3), 0, 0));
  EXPECT_FALSE(RgbNear(BackBufferPixel((int)right.x - 4, (int)right.y - 3), 0, 0));
  // Halfway up, the colour is the mix of both ends.
  const D3DCOLOR middle = BackBufferPixel((int)centre.x, (int)centre.y);
  EXPECT_NEAR(ChannelR(middle), 128, 12);
  EXPECT_NEAR(ChannelB(middle), 128, 12);

  // The same triangle wound the other way is culled by CCW, drawn with NONE, culled by CW.
  const ColourVertex counterClockwise[3] = {clockwise[0], clockwise[2], clockwise[1]};
  ClearBackBuffer(0xFF000000);
  DrawTriangle(device, counterClockwise);
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)centre.x, (int)centre.y), 0, 0));
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  DrawTriangle(device, counterClockwise);
  EXPECT_FALSE(RgbNear(BackBufferPixel((int)centre.x, (int)centre.y), 0, 0));
  ClearBackBuffer(0xFF000000);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  DrawTriangle(device, clockwise);
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)centre.x, (int)centre.y), 0, 0));
}

// The depth buffer keeps the nearer of two overlapping triangles, whatever the order.
TEST_F(RenderTest, DepthKeepsTheNearerTriangle)
{
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DXMATRIX view, projection;
  SetCamera(device, &view, &projection);
  const ColourVertex nearGreen[3] = {{0, 1, 0, 0xFF00FF00}, {1, -1, 0, 0xFF00FF00}, {-1, -1, 0, 0xFF00FF00}};
  const ColourVertex farRed[3] = {{0, 2, 3, 0xFFFF0000}, {2, -2, 3, 0xFFFF0000}, {-2, -2, 3, 0xFFFF0000}};
  const D3DXVECTOR3 centre = Project(D3DXVECTOR3(0, 0, 0), view, projection);
  DrawTriangle(device, nearGreen);
  DrawTriangle(device, farRed);
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)centre.x, (int)centre.y), 0x00FF00, 1));
  ClearBackBuffer(0xFF000000);
  DrawTriangle(device, farRed);
  DrawTriangle(device, nearGreen);
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)centre.x, (int)centre.y), 0x00FF00, 1));
}

// The game's stencil state (always pass, keep) changes nothing; a stencil that writes
// and compares still masks, so leaving the inert one off in GL must not lose the rest.
TEST_F(RenderTest, StencilMasksOnlyWhenItDoesSomething)
{
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ZENABLE, FALSE);
  D3DXMATRIX view, projection;
  SetCamera(device, &view, &projection);
  const ColourVertex green[3] = {{0, 1, 0, 0xFF00FF00}, {1, -1, 0, 0xFF00FF00}, {-1, -1, 0, 0xFF00FF00}};
  const ColourVertex red[3] = {{0, 1, 0, 0xFFFF0000}, {1, -1, 0, 0xFFFF0000}, {-1, -1, 0, 0xFFFF0000}};
  const D3DXVECTOR3 centre = Project(D3DXVECTOR3(0, 0, 0), view, projection);
  auto centrePixel = [&] { return BackBufferPixel((int)centre.x, (int)centre.y); };
  ClearBackBuffer(0xFF000000);
  DrawTriangle(device, green);
  DrawTriangle(device, red);
  EXPECT_TRUE(RgbNear(centrePixel(), 0xFF0000, 1)) << "the default stencil lets everything through";

  // Mark the triangle with 1, then draw only where the stencil is still 0.
  ClearBackBuffer(0xFF000000);
  device->SetRenderState(D3DRS_STENCILREF, 1);
  device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
  DrawTriangle(device, green);
  device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
  device->SetRenderState(D3DRS_STENCILREF, 0);
  device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
  DrawTriangle(device, red);
  EXPECT_TRUE(RgbNear(centrePixel(), 0x00FF00, 1)) << "the marked pixels refuse the red triangle";
  device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
  DrawTriangle(device, red);
  EXPECT_TRUE(RgbNear(centrePixel(), 0xFF0000, 1)) << "a disabled stencil masks nothing";
  device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device->SetRenderState(D3DRS_ZENABLE, TRUE);
}

// Linear fog from 40 to 100: no fog before 40, half at 70, all fog colour beyond 100.
TEST_F(RenderTest, LinearFogByEyeDepth)
{
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_FOGCOLOR, 0xFF0000FF);  // blue fog to tell it from the clear colour
  D3DXMATRIX view, projection;
  SetCamera(device, &view, &projection);
  const float eyeDepths[3] = {30.0f, 70.0f, 120.0f};
  const int expectedRed[3] = {255, 128, 0};
  for (int i = 0; i < 3; ++i) {
    ClearBackBuffer(0xFF000000);
    const float z = eyeDepths[i] - 5.0f;  // the camera sits at z = -5
    const float s = z;                    // big enough to cover the centre at any depth
    const ColourVertex white[3] = {{0, s, z, 0xFFFFFFFF}, {s, -s, z, 0xFFFFFFFF}, {-s, -s, z, 0xFFFFFFFF}};
    DrawTriangle(device, white);
    const D3DCOLOR c = BackBufferPixel(640, 360);
    EXPECT_NEAR(ChannelR(c), expectedRed[i], 3) << "eye depth " << eyeDepths[i];
    EXPECT_EQ(ChannelB(c), 255) << "eye depth " << eyeDepths[i];
  }
}

// DrawTexturedQuad: refuses an empty texture, a null matrix or null vertices without
// touching LIGHTING or the image; with a texture it draws (unlit) and turns LIGHTING on.
TEST_F(RenderTest, TexturedQuadDrawsOnlyWithATexture)
{
  D3DXMATRIX view, projection;
  SetCamera(device, &view, &projection);
  device->SetRenderState(D3DRS_FOGENABLE, FALSE);
  const TexturedVertex quad[4] = {{-1, 1, 0, 0xFFFFFFFF, 0, 0},
                                  {1, 1, 0, 0xFFFFFFFF, 1, 0},
                                  {1, -1, 0, 0xFFFFFFFF, 1, 1},
                                  {-1, -1, 0, 0xFFFFFFFF, 0, 1}};
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  CTexture empty;
  for (const DWORD lighting : {(DWORD)FALSE, (DWORD)TRUE}) {
    device->SetRenderState(D3DRS_LIGHTING, lighting);
    EXPECT_FALSE(graphics->DrawTexturedQuad(quad, empty, &world));
    DWORD after = 99;
    device->GetRenderState(D3DRS_LIGHTING, &after);
    EXPECT_EQ(after, lighting);
  }
  EXPECT_TRUE(RgbNear(BackBufferPixel(640, 360), 0, 0));

  CTexture texture;
  ASSERT_TRUE(texture.Create(device, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  std::vector<D3DCOLOR> texels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture.texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &texels[y * 2], 8);
  texture.texture->UnlockRect(0);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  EXPECT_FALSE(graphics->DrawTexturedQuad(nullptr, texture, &world));
  EXPECT_FALSE(graphics->DrawTexturedQuad(quad, texture, nullptr));
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  EXPECT_TRUE(graphics->DrawTexturedQuad(quad, texture, &world));
  DWORD lighting = 0;
  device->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, (DWORD)TRUE);
  // Texel (0, 0) at the quad's top-left corner, (1, 1) at its bottom right: v runs down.
  const D3DXVECTOR3 topLeft = Project(D3DXVECTOR3(-0.5f, 0.5f, 0), view, projection);
  const D3DXVECTOR3 bottomRight = Project(D3DXVECTOR3(0.5f, -0.5f, 0), view, projection);
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)topLeft.x, (int)topLeft.y), 0xFF0000, 2));
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)bottomRight.x, (int)topLeft.y), 0x00FF00, 2));
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)topLeft.x, (int)bottomRight.y), 0x0000FF, 2));
  EXPECT_TRUE(RgbNear(BackBufferPixel((int)bottomRight.x, (int)bottomRight.y), 0xFFFF00, 2));
}

// The additive blend adds the source onto what is there.
TEST_F(RenderTest, AdditiveBlendAdds)
{
  ClearBackBuffer(0xFF404040);
  D3DXMATRIX view, projection;
  SetCamera(device, &view, &projection);
  device->SetRenderState(D3DRS_FOGENABLE, FALSE);
  CTexture texture;
  ASSERT_TRUE(texture.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  texture.Fill(0xFF808080);
  const TexturedVertex quad[4] = {{-1, 1, 0, 0xFFFFFFFF, 0, 0},
                                  {1, 1, 0, 0xFFFFFFFF, 1, 0},
                                  {1, -1, 0, 0xFFFFFFFF, 1, 1},
                                  {-1, -1, 0, 0xFFFFFFFF, 0, 1}};
  D3DXMATRIX world;
  D3DXMatrixIdentity(&world);
  graphics->SetAdditiveBlend();
  ASSERT_TRUE(graphics->DrawTexturedQuad(quad, texture, &world));
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  EXPECT_TRUE(RgbNear(BackBufferPixel(640, 360), 0xC0C0C0, 2));
}

// The event query answers once the work before its Issue is done, and only then.
TEST_F(RenderTest, TheEventQueryIsAnsweredWhenTheDeviceReachesIt)
{
  EXPECT_EQ(device->CreateQuery(D3DQUERYTYPE_EVENT, nullptr), D3D_OK) << "supported";
  EXPECT_EQ(device->CreateQuery(static_cast<D3DQUERYTYPE>(9), nullptr), D3DERR_NOTAVAILABLE);
  IDirect3DQuery9* query = nullptr;
  ASSERT_EQ(device->CreateQuery(D3DQUERYTYPE_EVENT, &query), D3D_OK);
  EXPECT_EQ(query->GetType(), D3DQUERYTYPE_EVENT);
  BOOL done = FALSE;
  EXPECT_EQ(query->GetData(&done, sizeof(done), D3DGETDATA_FLUSH), D3DERR_INVALIDCALL) << "never issued";
  EXPECT_EQ(query->Issue(0), D3DERR_INVALIDCALL) << "an event has no begin";
  ClearBackBuffer(0xFF204060);
  ASSERT_EQ(query->Issue(D3DISSUE_END), D3D_OK);
  HRESULT answer = S_FALSE;
  for (int i = 0; i < 5000 && answer == S_FALSE; ++i) {
    answer = query->GetData(&done, sizeof(done), D3DGETDATA_FLUSH);
    if (answer == S_FALSE) SDL_Delay(1);
  }
  EXPECT_EQ(answer, D3D_OK);
  EXPECT_EQ(done, TRUE);
  EXPECT_TRUE(RgbNear(BackBufferPixel(640, 360), 0x204060, 1)) << "the clear before it is done";
  query->Release();
}

// DrawScreenQuad covers exactly x..x+width, y..y+height with texel-to-pixel mapping.
TEST_F(RenderTest, ScreenQuadIsPixelExact)
{
  CTexture texture;
  ASSERT_TRUE(texture.Create(device, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  const std::vector<D3DCOLOR> texels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture.texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &texels[y * 2], 8);
  texture.texture->UnlockRect(0);
  device->SetTexture(0, texture.texture);
  graphics->DrawScreenQuad(30.0f, 40.0f, 2.0f, 2.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(30, 40), 0xFF0000, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(31, 40), 0x00FF00, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(30, 41), 0x0000FF, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(31, 41), 0xFFFFFF, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(29, 40), 0, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(32, 41), 0, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(30, 42), 0, 0));
}

// The scissor test limits both drawing and clears to its rectangle (rows from the top);
// a new render target resets the rectangle to the whole target, and an inside-out one is
// refused.
TEST_F(RenderTest, ScissorLimitsDrawsAndClearsUntilTheTargetChanges)
{
  CTexture white;
  ASSERT_TRUE(white.Create(device, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  white.Fill(0xFFFFFFFF);
  const RECT area = {100, 50, 140, 60};
  ASSERT_EQ(device->SetScissorRect(&area), D3D_OK);
  device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  EXPECT_TRUE(RgbNear(BackBufferPixel(100, 50), 0x0000FF, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(139, 59), 0x0000FF, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(99, 55), 0, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(120, 60), 0, 0));
  device->SetTexture(0, white.texture);
  graphics->DrawScreenQuad(0.0f, 0.0f, 1280.0f, 720.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(120, 55), 0xFFFFFF, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(120, 49), 0, 0)) << "drawing stops at the rectangle's top";
  EXPECT_TRUE(RgbNear(BackBufferPixel(140, 55), 0, 0));
  RECT inside_out = {10, 10, 5, 20};
  EXPECT_EQ(device->SetScissorRect(&inside_out), D3DERR_INVALIDCALL);

  ASSERT_EQ(device->SetRenderTarget(0, graphics->backBuffer), D3D_OK);
  RECT now = {};
  device->GetScissorRect(&now);
  EXPECT_EQ(now.right, 1280);
  EXPECT_EQ(now.bottom, 720);
  device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
  graphics->DrawScreenQuad(0.0f, 0.0f, 1280.0f, 720.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(5, 5), 0xFFFFFF, 1)) << "with the test off, everything is drawn";
}

// A NULL-format target holds no colour (one level, render target only, nothing to lock),
// yet a pass drawn into it writes its depth: a later pass into a real target with the same
// depth buffer is hidden where the first one drew.
TEST_F(RenderTest, ColourlessTargetTakesDepthOnly)
{
  IDirect3DTexture9* refused = nullptr;
  EXPECT_EQ(device->CreateTexture(64, 32, 1, 0, D3DFMT_NULL, D3DPOOL_DEFAULT, &refused, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(64, 32, 2, D3DUSAGE_RENDERTARGET, D3DFMT_NULL, D3DPOOL_DEFAULT, &refused, nullptr),
            D3DERR_INVALIDCALL);
  CTexture colourless, colour;
  ASSERT_TRUE(colourless.Create(device, 64, 32, D3DUSAGE_RENDERTARGET, D3DFMT_NULL, D3DPOOL_DEFAULT));
  ASSERT_TRUE(colour.Create(device, 64, 32, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT));
  D3DLOCKED_RECT locked;
  EXPECT_EQ(colourless.surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL);
  OstrelLibrary::CDepthBuffer depth;
  ASSERT_TRUE(depth.Create(device, 64, 32));

  struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
  };
  const auto quad = [&](float right, float z) {
    const Vertex v[4] = {{0, 0, z, 1, 0xFFFFFFFF},
                         {right, 0, z, 1, 0xFFFFFFFF},
                         {0, 32, z, 1, 0xFFFFFFFF},
                         {right, 32, z, 1, 0xFFFFFFFF}};
    return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex));
  };
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_ZENABLE, TRUE);
  device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  device->SetTexture(0, nullptr);
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  IDirect3DSurface9* savedDepth = nullptr;
  device->GetDepthStencilSurface(&savedDepth);
  device->SetDepthStencilSurface(depth.surface);
  ASSERT_EQ(device->SetRenderTarget(0, colourless.surface), D3D_OK);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 1.0f, 0), D3D_OK);
  device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  ASSERT_EQ(quad(32, 0.25f), D3D_OK);

  ASSERT_EQ(device->SetRenderTarget(0, colour.surface), D3D_OK);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  ASSERT_EQ(quad(64, 0.5f), D3D_OK);
  const std::vector<D3DCOLOR> pixels = ReadSurface(colour.surface);
  ASSERT_EQ(pixels.size(), 64u * 32u);
  EXPECT_TRUE(RgbNear(pixels[16 * 64 + 10], 0x000000, 0)) << "behind the depth the colourless pass wrote";
  EXPECT_TRUE(RgbNear(pixels[16 * 64 + 50], 0xFFFFFF, 0)) << "where it drew nothing";
  device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  device->SetRenderTarget(0, graphics->backBuffer);
  device->SetDepthStencilSurface(savedDepth);
  if (savedDepth) savedDepth->Release();
}

// Off-screen target and back: SetRenderTarget resets the viewport to the target's size,
// drawing goes to the target only, and the target, drawn as a sprite, keeps its top row
// at the top.
TEST_F(RenderTest, RenderTargetSwitchAndRestore)
{
  CTexture target, line;
  ASSERT_TRUE(target.Create(device, 64, 32, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT));
  ASSERT_TRUE(line.Create(device, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  line.Fill(0xFFFFFFFF);

  IDirect3DSurface9* saved = nullptr;
  ASSERT_EQ(device->GetRenderTarget(0, &saved), D3D_OK);
  EXPECT_EQ(saved, graphics->backBuffer);
  ASSERT_EQ(device->SetRenderTarget(0, target.surface), D3D_OK);
  D3DVIEWPORT9 viewport;
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 64u);
  EXPECT_EQ(viewport.Height, 32u);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF800000, 1.0f, 0);
  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  graphics->DrawTexture(line, &identity, 0xFFFFFFFF);  // the target's top row
  graphics->sprite->End();
  ASSERT_EQ(device->SetRenderTarget(0, saved), D3D_OK);
  saved->Release();
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 1280u);
  EXPECT_EQ(viewport.Height, 720u);

  const std::vector<D3DCOLOR> pixels = ReadSurface(target.surface);
  ASSERT_EQ(pixels.size(), 64u * 32u);
  EXPECT_TRUE(RgbNear(pixels[5], 0xFFFFFF, 0));
  EXPECT_TRUE(RgbNear(pixels[64 * 31 + 5], 0x800000, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(5, 0), 0, 0));  // the back buffer was not touched

  graphics->sprite->Begin(D3DXSPRITE_ALPHABLEND);
  D3DXMATRIX at;
  D3DXMatrixTranslation(&at, 200, 100, 0);
  graphics->DrawTexture(target, &at, 0xFFFFFFFF);
  graphics->sprite->End();
  EXPECT_TRUE(RgbNear(BackBufferPixel(210, 100), 0xFFFFFF, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(210, 101), 0x800000, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(210, 131), 0x800000, 1));
  EXPECT_TRUE(RgbNear(BackBufferPixel(210, 132), 0, 0));
  // A plain texture is no render target.
  EXPECT_EQ(device->SetRenderTarget(0, line.surface), D3DERR_INVALIDCALL);
}

// Present scales the back buffer into the window keeping its aspect (letterbox or
// pillarbox, centred), tells the window layer where it landed, and flips it right way up.
TEST_F(RenderTest, PresentLetterboxesAndReportsTheMapping)
{
  const HWND window = graphics->presentParameters.hDeviceWindow;
  SDL_Window* const sdlWindow = Win32GetSDLWindow(window);
  ASSERT_NE(sdlWindow, nullptr);
  struct Case {
    int width, height, x, y, viewWidth, viewHeight;
  };
  const Case cases[] = {{1600, 1200, 0, 150, 1600, 900}, {2000, 720, 360, 0, 1280, 720}, {640, 360, 0, 0, 640, 360}};
  // Top half red, bottom half blue: after the flip the window's top is red.
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  const D3DRECT top = {0, 0, 1280, 360};
  device->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  for (const Case& c : cases) {
    SDL_SetWindowSize(sdlWindow, c.width, c.height);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdlWindow, &w, &h);
    if (w != c.width || h != c.height) GTEST_SKIP() << "the video driver would not resize the window";
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_TRUE(window->mapped);
    EXPECT_EQ(window->backBufferWidth, 1280);
    EXPECT_EQ(window->backBufferHeight, 720);
    EXPECT_EQ(window->viewX, c.x) << c.width << "x" << c.height;
    EXPECT_EQ(window->viewY, c.y) << c.width << "x" << c.height;
    EXPECT_EQ(window->viewWidth, c.viewWidth);
    EXPECT_EQ(window->viewHeight, c.viewHeight);
  }
  // The last present went to a 640 x 360 window; GL's row 0 is the window's bottom.
  // Checked where the driver lets the front buffer be read back (llvmpipe does).
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_FRONT);
  uint8_t bottom[4] = {}, topPixel[4] = {};
  glReadPixels(320, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bottom);
  glReadPixels(320, 350, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, topPixel);
  if (glGetError() == GL_NO_ERROR && (bottom[0] | bottom[2] | topPixel[0] | topPixel[2]) != 0) {
    EXPECT_GT(topPixel[0], 200);
    EXPECT_LT(topPixel[2], 50);
    EXPECT_GT(bottom[2], 200);
    EXPECT_LT(bottom[0], 50);
  }
  SDL_SetWindowSize(sdlWindow, 1280, 720);
}

// A window of the back buffer's size is drawn into straight (the texture keeps no
// storage, and only read-only locks are allowed); a window of another size sends frames
// through the texture again. What the back buffer holds survives both moves, the right way
// up, and a culled, scissored and depth-tested draw lands where it does in a texture.
TEST_F(RenderTest, BackBufferMovesBetweenWindowAndTextureKeepingItsPicture)
{
  D3D9Device* const d3d9 = static_cast<D3D9Device*>(device);
  SDL_Window* const sdlWindow = Win32GetSDLWindow(graphics->presentParameters.hDeviceWindow);
  ASSERT_NE(sdlWindow, nullptr);
  ASSERT_EQ(d3d9->backBufferTexture->name, 0u) << "a 1280 x 720 window holds the frames";
  D3DLOCKED_RECT locked;
  EXPECT_EQ(graphics->backBuffer->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);

  // Blue below row 100; a depth-tested, back-face-culled quad (cull mode CCW, D3D's
  // default) drawn through a scissor from row 100 to 110: white where it passes, and
  // nothing from a second one behind it.
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
  const D3DRECT band = {0, 0, 1280, 100};
  device->Clear(1, &band, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  const RECT area = {0, 100, 1280, 110};
  device->SetScissorRect(&area);
  device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
  device->SetRenderState(D3DRS_ZENABLE, TRUE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetTexture(0, nullptr);
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
  };
  for (const auto& [z, colour] : {std::pair<float, D3DCOLOR>{0.5f, 0xFFFFFFFF}, {0.8f, 0xFF00FF00}}) {
    const Vertex quad[4] = {
        {0, 0, z, 1, colour}, {1280, 0, z, 1, colour}, {0, 720, z, 1, colour}, {1280, 720, z, 1, colour}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
  }
  device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
  const auto expectPicture = [&](const char* where) {
    EXPECT_TRUE(RgbNear(BackBufferPixel(640, 99), 0xFF0000, 0)) << where;
    EXPECT_TRUE(RgbNear(BackBufferPixel(640, 100), 0xFFFFFF, 0)) << where;
    EXPECT_TRUE(RgbNear(BackBufferPixel(640, 109), 0xFFFFFF, 0)) << where;
    EXPECT_TRUE(RgbNear(BackBufferPixel(640, 110), 0x0000FF, 0)) << where;
    EXPECT_TRUE(RgbNear(BackBufferPixel(5, 719), 0x0000FF, 0)) << where;
  };
  expectPicture("drawn into the window");

  SDL_SetWindowSize(sdlWindow, 1600, 900);
  int w = 0, h = 0;
  SDL_GetWindowSize(sdlWindow, &w, &h);
  if (w != 1600 || h != 900) GTEST_SKIP() << "the video driver would not resize the window";
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_NE(d3d9->backBufferTexture->name, 0u) << "a larger window is drawn through the texture";
  expectPicture("moved into the texture");
  SDL_SetWindowSize(sdlWindow, 1280, 720);
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(d3d9->backBufferTexture->name, 0u);
  expectPicture("moved back into the window");
}

// Fixed-function lighting with normals: a face turned to the light gets diffuse plus
// ambient, a face turned away only the ambient part.
TEST_F(RenderTest, DirectionalLightingWithNormals)
{
  struct LitVertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR colour;
  };
  D3DXMATRIX view, projection;
  SetCamera(device, &view, &projection);
  device->SetRenderState(D3DRS_FOGENABLE, FALSE);
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {0.5f, 0.5f, 0.5f, 0};
  light.Ambient = {0.25f, 0.25f, 0.25f, 0};
  light.Direction = {0, 0, 1};  // shining away from the camera, onto faces that look at it
  device->SetLight(0, &light);
  D3DMATERIAL9 material = {};
  material.Ambient = {1, 1, 1, 1};
  device->SetMaterial(&material);
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
  device->SetTexture(0, nullptr);
  for (const float nz : {-1.0f, 1.0f}) {
    ClearBackBuffer(0xFF000000);
    const LitVertex triangle[3] = {
        {0, 1, 0, 0, 0, nz, 0xFFFF0000}, {1, -1, 0, 0, 0, nz, 0xFFFF0000}, {-1, -1, 0, 0, 0, nz, 0xFFFF0000}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(LitVertex)), D3D_OK);
    // Red vertex colour is the diffuse material: red = 0.25 ambient + 0.5 diffuse when lit.
    const D3DCOLOR c = BackBufferPixel(640, 360);
    EXPECT_NEAR(ChannelR(c), nz < 0 ? 191 : 64, 3) << "normal z " << nz;
    EXPECT_NEAR(ChannelG(c), 64, 3);
  }
}

// Full screen keeps the requested 1280 x 720 back buffer and scales it to the display.
TEST_F(RenderTest, FullScreenKeepsTheBackBufferSize)
{
  const HWND window = graphics->presentParameters.hDeviceWindow;
  SDL_Window* const sdlWindow = Win32GetSDLWindow(window);
  graphics->Finalize();
  ASSERT_TRUE(graphics->Init(window, 1280, 720, true));
  device = graphics->device;
  EXPECT_FALSE(graphics->presentParameters.Windowed);
  EXPECT_EQ(graphics->presentParameters.BackBufferWidth, 1280u);
  EXPECT_EQ(graphics->presentParameters.BackBufferHeight, 720u);
  D3DSURFACE_DESC desc;
  graphics->backBuffer->GetDesc(&desc);
  EXPECT_EQ(desc.Width, 1280u);
  EXPECT_EQ(desc.Height, 720u);
  EXPECT_NE(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  int width = 0, height = 0;
  SDL_GetWindowSize(sdlWindow, &width, &height);
  // Whatever size the display gave the window, the picture keeps 16:9 and is centred.
  EXPECT_EQ(window->backBufferWidth, 1280);
  EXPECT_NEAR((double)window->viewWidth / window->viewHeight, 16.0 / 9.0, 0.01);
  EXPECT_NEAR(window->viewX * 2 + window->viewWidth, width, 1);
  EXPECT_NEAR(window->viewY * 2 + window->viewHeight, height, 1);
  std::printf("full screen: window %d x %d, picture %d x %d at (%d, %d)\n", width, height, window->viewWidth,
              window->viewHeight, window->viewX, window->viewY);
  SDL_SetWindowFullscreen(sdlWindow, 0);
  SDL_SetWindowSize(sdlWindow, 1280, 720);
}

// An effect's program can take over DrawPrimitiveUP (as the blur passes do with
// DrawScreenQuad): the vertices reach its attributes and the device's blend state applies.
TEST_F(RenderTest, EffectProgramDrawsTheScreenQuad)
{
  const std::string vertexSource = std::string("#version 330 core\n") + effectfile::kClipToGLSource +
                                   "layout(location = 0) in vec4 a_position;\n"
                                   "layout(location = 3) in vec2 a_uv;\n"
                                   "out vec2 v_uv;\n"
                                   "void main() {\n"
                                   "  v_uv = a_uv;\n"
                                   "  vec2 ndc = vec2(a_position.x / 640.0 - 1.0, 1.0 - a_position.y / 360.0);\n"
                                   "  gl_Position = D3D9ClipToGL(vec4(ndc, 0.0, 1.0));\n"
                                   "}\n";
  const char* fragmentSource =
      "#version 330 core\n"
      "in vec2 v_uv;\n"
      "out vec4 colour;\n"
      "void main() { colour = vec4(v_uv.x, 1.0, 0.0, 0.5); }\n";
  const char* sources[2] = {vertexSource.c_str(), fragmentSource};
  const GLenum stages[2] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
  const GLuint program = glCreateProgram();
  for (int i = 0; i < 2; ++i) {
    const GLuint shader = glCreateShader(stages[i]);
    glShaderSource(shader, 1, &sources[i], nullptr);
    glCompileShader(shader);
    glAttachShader(program, shader);
    glDeleteShader(shader);
  }
  glLinkProgram(program);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  ASSERT_TRUE(linked);

  ClearBackBuffer(0xFFFF0000);
  D3D9Device* const d3d9 = static_cast<D3D9Device*>(device);
  d3d9->effectProgram = program;
  graphics->DrawScreenQuad(100.0f, 50.0f, 200.0f, 100.0f);
  d3d9->effectProgram = 0;
  glDeleteProgram(program);

  // Half-alpha green over red (SRCALPHA / INVSRCALPHA); u runs 0..1 left to right.
  EXPECT_TRUE(RgbNear(BackBufferPixel(100, 50), 0x808000, 3));
  EXPECT_TRUE(RgbNear(BackBufferPixel(299, 149), 0xFF8000, 3));
  EXPECT_TRUE(RgbNear(BackBufferPixel(300, 100), 0xFF0000, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(200, 150), 0xFF0000, 0));
}

// Alpha test discards texels failing ALPHAFUNC against ALPHAREF, and only while enabled.
TEST_F(RenderTest, AlphaTestDiscards)
{
  CTexture texture;
  ASSERT_TRUE(texture.Create(device, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED));
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture.texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  static_cast<D3DCOLOR*>(locked.pBits)[0] = 0x40FFFFFF;
  static_cast<D3DCOLOR*>(locked.pBits)[1] = 0xC0FFFFFF;
  texture.texture->UnlockRect(0);
  device->SetTexture(0, texture.texture);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  device->SetRenderState(D3DRS_ALPHAREF, 0x80);
  graphics->DrawScreenQuad(0.0f, 0.0f, 2.0f, 1.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(0, 0), 0x000000, 0));
  EXPECT_TRUE(RgbNear(BackBufferPixel(1, 0), 0xFFFFFF, 0));
  device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  graphics->DrawScreenQuad(0.0f, 0.0f, 2.0f, 1.0f);
  EXPECT_TRUE(RgbNear(BackBufferPixel(0, 0), 0xFFFFFF, 0));
}
