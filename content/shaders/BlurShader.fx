# Post-processing of the game image: the bright pass feeding the bloom, separable
# Gaussian blurs, the glow levels folded into one, and one composite of the image, the
# glow and the grey of an open menu; also the plain copy and a box blur. Every pass
# draws one screen quad given in target pixels.

sampler g_input_tex address=clamp filter=linear mip=none
sampler g_glow_tex address=clamp filter=linear mip=none

common
uniform sampler2D g_input_tex;
uniform sampler2D g_glow_tex;
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

// Only what shines past ordinary lit colour glows: emissive magic, highlights.
// The five levels are added back at full weight, so each gives a little.
vec3 BrightPart(vec3 colour)
{
  float brightness = max(colour.r, max(colour.g, colour.b));
  return colour * smoothstep(0.9, 1.4, brightness) * 0.25;
}

// Nine-tap Gaussian along one axis, in input texels, in five fetches: taps 1 and 2 (and
// 3 and 4) on each side are read as one linear fetch placed between them by their
// weights (0.1945946 and 0.1216216; 0.0540540 and 0.0162162), which mixes the two
// texels in the same proportion.
vec4 Blur(vec2 step)
{
  const float offsets[2] = float[](1.3846154, 3.2307692);
  const float weights[2] = float[](0.3162162, 0.0702703);
  vec4 sum = texture(g_input_tex, texCoord) * 0.2270270;
  for (int i = 0; i < 2; ++i) {
    sum += texture(g_input_tex, texCoord + step * offsets[i]) * weights[i];
    sum += texture(g_input_tex, texCoord - step * offsets[i]) * weights[i];
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
  fragColour = vec4(BrightPart(texture(g_input_tex, texCoord).rgb), 1.0);
}
    end

# The bright pass and the first shrink in one: each output texel is the mean of the
# bright parts of the two by two input pixels a linear fetch at its centre would mix.
technique BrightDownTech
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
  ivec2 size = textureSize(g_input_tex, 0);
  ivec2 corner = ivec2(floor(texCoord * vec2(size) - 0.5));
  ivec2 last = size - 1;
  vec3 sum = BrightPart(texelFetch(g_input_tex, clamp(corner, ivec2(0), last), 0).rgb);
  sum += BrightPart(texelFetch(g_input_tex, clamp(corner + ivec2(1, 0), ivec2(0), last), 0).rgb);
  sum += BrightPart(texelFetch(g_input_tex, clamp(corner + ivec2(0, 1), ivec2(0), last), 0).rgb);
  sum += BrightPart(texelFetch(g_input_tex, clamp(corner + ivec2(1, 1), ivec2(0), last), 0).rgb);
  fragColour = vec4(sum * 0.25, 1.0);
}
    end

# The pyramid's shrink from one level to the next, untouched by the menu's grey; also
# the low quality's scaling of the composite up to the screen.
technique ShrinkTech
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
  fragColour = vec4(texture(g_input_tex, texCoord).rgb, 1.0);
}
    end

# The glow levels summed from the smallest up, each sum at its own level's size: this
# level's glow plus the sum of the smaller ones, which the linear fetch scales up (an
# unbound sum, above the smallest level, reads as black). Under a menu each smaller
# level counts 0.8 of the one above it, as when each level was greyed on its way down.
# A sum past white clips in the 8-bit target; in colour the picture is clipped there
# anyway, since the image is added to it, and under the grey the difference is slight.
technique FoldTech
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
  float weight = g_is_monotone != 0 ? 0.8 : 1.0;
  fragColour = vec4(texture(g_input_tex, texCoord).rgb + texture(g_glow_tex, texCoord).rgb * weight, 1.0);
}
    end

# The final picture in one pass: the image plus the folded glow. Under a menu everything
# turns grey at 0.8, the glow first weighted by 0.8 once more.
technique CompositeTech
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
  vec3 image = texture(g_input_tex, texCoord).rgb;
  vec3 glow = texture(g_glow_tex, texCoord).rgb;
  vec3 colour;
  if (g_is_monotone != 0) {
    colour = vec3(dot(image + glow * 0.8, vec3(0.299, 0.587, 0.114)) * 0.8);
  } else {
    colour = image + glow;
  }
  fragColour = vec4(colour, 1.0);
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
