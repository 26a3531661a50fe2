// The picture's quality. High is the full picture. Low is for machines that draw in
// software: the 3D pass at half the back buffer's width and height, scaled up by the
// composite; one shadow-map tap instead of four, from a map of half the side; the
// puddle's blur left out.
#pragma once

#include <string>

enum class RenderQuality { High, Low };

// The quality asked for: the setting "low" or "high" (any case) decides; otherwise a
// software renderer (llvmpipe, softpipe, SwiftShader) gets Low and anything else High.
RenderQuality ChooseRenderQuality(const std::string& rendererName, const char* setting);

// The quality in force (High until one is applied).
RenderQuality CurrentRenderQuality();

// The size the 3D pass draws at under the quality in force: the back buffer's, or half
// its width and height at low quality.
void SceneTargetSize(unsigned* width, unsigned* height);

// Puts a quality in force on the loaded shaders: sizes the scene target and the shadow
// map anew and tells the toon effect how many shadow taps to take.
void ApplyRenderQuality(RenderQuality quality);

// At start-up: the quality $SOLVERICA_QUALITY or the device's renderer asks for.
void ApplyRenderQualityForDevice();
