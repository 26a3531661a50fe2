# The puddle: the mirrored scene seen through rippling water. The wave texture,
# scrolled by g_tex_offset, bends the look-up into the reflection; the blurred copy
# is mixed in where the water is rough; the rim fades into the floor.

sampler g_wave_tex address=wrap filter=linear
sampler g_reflect_tex address=clamp filter=linear mip=none
sampler g_blur_tex address=clamp filter=linear mip=none

common
uniform mat4 g_world_mat = mat4(1.0);
uniform mat4 g_view_mat = mat4(1.0);
uniform mat4 g_projection_mat = mat4(1.0);
uniform mat4 g_tex_mat = mat4(1.0);
uniform vec2 g_tex_offset;
uniform vec3 g_light_direction = vec3(0.431934, -0.863868, 0.259161);
uniform vec4 g_ambient = vec4(0.3, 0.3, 0.3, 0.0);
uniform sampler2D g_wave_tex;
uniform sampler2D g_reflect_tex;
uniform sampler2D g_blur_tex;
end

technique Tech
  pass P0
    state ZWRITEENABLE FALSE
    state CULLMODE NONE
    vertex
in vec3 inPosition;
in vec2 inTexCoord;
out vec4 projected;
out vec2 texCoord;
void main()
{
  vec4 world = mul(vec4(inPosition, 1.0), g_world_mat);
  gl_Position = mul(mul(world, g_view_mat), g_projection_mat);
  projected = gl_Position;
  texCoord = inTexCoord;
}
    end
    fragment
in vec4 projected;
in vec2 texCoord;
out vec4 fragColour;
void main()
{
  vec2 screen = projected.xy / projected.w;
  vec2 reflectUv = mul(vec4(screen, 0.0, 1.0), g_tex_mat).xy;
  vec2 waveA = texture(g_wave_tex, texCoord * 2.0 + g_tex_offset).rg * 2.0 - 1.0;
  vec2 waveB = texture(g_wave_tex, texCoord * 3.0 - g_tex_offset.yx).rg * 2.0 - 1.0;
  vec2 wave = (waveA + waveB) * 0.5;
  vec2 uv = clamp(reflectUv + wave * 0.02, vec2(0.001), vec2(0.999));
  vec3 sharp = texture(g_reflect_tex, uv).rgb;
  vec3 blurred = texture(g_blur_tex, uv).rgb;
  float roughness = clamp(length(wave) * 1.5, 0.0, 1.0);
  vec3 mirror = mix(sharp, blurred, 0.35 + 0.4 * roughness);
  vec3 normal = normalize(vec3(wave.x * 0.3, 1.0, wave.y * 0.3));
  float light = max(dot(normal, -normalize(g_light_direction)), 0.0);
  vec3 water = vec3(0.16, 0.22, 0.30) * (g_ambient.rgb + light);
  vec3 colour = mix(water, mirror, 0.7) + pow(light, 24.0) * 0.25;
  float rim = smoothstep(0.5, 0.38, length(texCoord - vec2(0.5)));
  fragColour = vec4(colour, 0.85 * rim);
}
    end
