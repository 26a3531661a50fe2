# Post-processing of the game image: the copy to the screen (grey while a menu is
# open), the bright pass feeding the bloom, separable Gaussian blurs and a box blur.
# Every pass draws one screen quad given in target pixels.

sampler g_input_tex address=clamp filter=linear mip=none

common
uniform sampler2D g_input_tex;
uniform vec4 g_color = vec4(1.0);
uniform vec4 g_texel_size;
uniform int g_is_monotone = 0;
uniform vec2 fx_target_size = vec2(1280.0, 720.0);

#ifdef VERTEX_STAGE
in vec4 inPosition;
in vec2 inTexCoord;
out vec2 texCoord;

// Pixel position of the quad corner to clip space.
void ScreenQuad()
{
  gl_Position = vec4(inPosition.x / fx_target_size.x * 2.0 - 1.0, 1.0 - inPosition.y / fx_target_size.y * 2.0, 0.0, 1.0);
  texCoord = inTexCoord;
}
#endif

#ifdef FRAGMENT_STAGE
in vec2 texCoord;
out vec4 fragColour;

// Nine-tap Gaussian along one axis, in input texels.
vec4 Blur(vec2 step)
{
  const float weights[5] = float[](0.2270270, 0.1945946, 0.1216216, 0.0540540, 0.0162162);
  vec4 sum = texture(g_input_tex, texCoord) * weights[0];
  for (int i = 1; i < 5; ++i) {
    sum += texture(g_input_tex, texCoord + step * float(i)) * weights[i];
    sum += texture(g_input_tex, texCoord - step * float(i)) * weights[i];
  }
  return sum;
}
#endif
end

technique NormalTech
  pass P0
    state ZENABLE FALSE
    state ZWRITEENABLE FALSE
    state CULLMODE NONE
    vertex
void main()
{
  ScreenQuad();
}
    end
    fragment
void main()
{
  vec4 colour = texture(g_input_tex, texCoord) * g_color;
  if (g_is_monotone != 0) {
    float grey = dot(colour.rgb, vec3(0.299, 0.587, 0.114));
    colour.rgb = vec3(grey * 0.8);
  }
  fragColour = vec4(colour.rgb, g_color.a);
}
    end

technique BrightFilteringTech
  pass P0
    state ZENABLE FALSE
    state ZWRITEENABLE FALSE
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
    vertex
void main()
{
  ScreenQuad();
}
    end
    fragment
void main()
{
  vec3 colour = texture(g_input_tex, texCoord).rgb;
  // Only what shines past ordinary lit colour glows: emissive magic, highlights.
  // The five levels are added back at full weight, so each gives a little.
  float brightness = max(colour.r, max(colour.g, colour.b));
  float keep = smoothstep(0.9, 1.4, brightness);
  fragColour = vec4(colour * keep * 0.25, 1.0);
}
    end

technique XBlurTech
  pass P0
    state ZENABLE FALSE
    state ZWRITEENABLE FALSE
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
    vertex
void main()
{
  ScreenQuad();
}
    end
    fragment
void main()
{
  fragColour = vec4(Blur(vec2(g_texel_size.x, 0.0)).rgb, 1.0);
}
    end

technique YBlurTech
  pass P0
    state ZENABLE FALSE
    state ZWRITEENABLE FALSE
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
    vertex
void main()
{
  ScreenQuad();
}
    end
    fragment
void main()
{
  fragColour = vec4(Blur(vec2(0.0, g_texel_size.y)).rgb, 1.0);
}
    end

technique AverageBlurTech
  pass P0
    state ZENABLE FALSE
    state ZWRITEENABLE FALSE
    state CULLMODE NONE
    vertex
void main()
{
  ScreenQuad();
}
    end
    fragment
void main()
{
  vec4 sum = vec4(0.0);
  for (int y = -2; y <= 2; ++y) {
    for (int x = -2; x <= 2; ++x) {
      sum += texture(g_input_tex, texCoord + vec2(x, y) * g_texel_size.xy * 2.0);
    }
  }
  fragColour = vec4((sum / 25.0).rgb, 1.0);
}
    end
