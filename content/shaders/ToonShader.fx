# Toon shading of every lit mesh: a ramp instead of smooth light, material colours,
# normal maps, the sky reflected by metal, received shadows and forced emissive glow.
# "PuddleReflectTech" is the same shading mirrored by g_reflect_mat, clipped below
# the puddle plane. The ...LowTech techniques take a single shadow tap; the puddle's
# reflection follows g_soft_shadow instead. "DepthTech" lays down an opaque mesh's depth.
#
# Normal maps: a texel of (176, 176, 255) is flat, matching the engine's default
# normal texel, so meshes without a normal map shade exactly as with a flat one.

sampler g_toon_tex address=clamp filter=linear mip=none
sampler g_mate_diffuse_tex address=wrap filter=linear
sampler g_normal_tex address=wrap filter=linear
sampler g_cube_tex address=clamp filter=linear
# The shadow map's depth texture, read through the hardware's depth comparison: each
# fetch answers how much of the two by two texels round it is nearer the light.
sampler g_shadow_tex address=border filter=linear mip=none compare=greater

common
uniform mat4 g_world_mat = mat4(1.0);
uniform mat4 g_view_mat = mat4(1.0);
uniform mat4 g_projection_mat = mat4(1.0);
uniform mat4 g_reflect_mat = mat4(1.0);
uniform mat4 g_light_vp_mat = mat4(1.0);
uniform vec3 g_camera_pos;
uniform vec3 g_camera_look_vec = vec3(0.0, 0.0, 1.0);
uniform vec3 g_light_direction = vec3(0.431934, -0.863868, 0.259161);
uniform vec4 g_light_color = vec4(1.0, 1.0, 1.0, 0.0);
uniform float g_shadow_map_texel_size = 0.0009765625;
uniform float g_shadow_power_magnification = 1.0;
uniform int g_soft_shadow = 1;
uniform vec4 g_force_emissive = vec4(0.0);
uniform float g_alpha = 1.0;
uniform int g_light_enable = 1;
uniform float g_spe_power_magnification = 1.0;
uniform float g_spe_camera_magnification = 0.0;
uniform float g_ref_power = 0.0;
uniform float g_moveble_uv = 0.0;
uniform vec4 g_mate_diffuse = vec4(1.0);
uniform vec4 g_mate_specular = vec4(0.0);
uniform float g_mate_spe_power = 8.0;
uniform vec4 g_mate_emissive = vec4(0.0);
uniform sampler2D g_toon_tex;
uniform sampler2D g_mate_diffuse_tex;
uniform sampler2D g_normal_tex;
uniform samplerCube g_cube_tex;
uniform sampler2DShadow g_shadow_tex;

#ifdef VERTEX_STAGE
// The depth-only pass and the shading pass must reach the very same depths.
invariant gl_Position;
in vec3 inPosition;
in vec3 inNormal;
in vec2 inTexCoord;
out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec4 lightPosition;

// Shared by both techniques: world position (mirrored when asked), normal, light space.
void Transform()
{
  vec4 world = mul(mul(vec4(inPosition, 1.0), g_world_mat), g_reflect_mat);
  worldPosition = world.xyz;
  worldNormal = mul(mul(vec4(inNormal, 0.0), g_world_mat), g_reflect_mat).xyz;
  texCoord = inTexCoord + vec2(0.0, g_moveble_uv);
  lightPosition = mul(world, g_light_vp_mat);
  gl_Position = mul(mul(world, g_view_mat), g_projection_mat);
}
#endif

#ifdef FRAGMENT_STAGE
in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;
in vec4 lightPosition;
out vec4 fragColour;

// The surface normal with the normal map applied, using a frame built from derivatives
// (the meshes carry no tangents); without a normal map, the flat one's answer.
vec3 SurfaceNormal(bool normalMapped)
{
  vec3 n = normalize(worldNormal);
  if (!gl_FrontFacing) n = -n;
  if (!normalMapped) return n;
  vec3 dp1 = dFdx(worldPosition);
  vec3 dp2 = dFdy(worldPosition);
  vec2 duv1 = dFdx(texCoord);
  vec2 duv2 = dFdy(texCoord);
  vec3 dp2perp = cross(dp2, n);
  vec3 dp1perp = cross(n, dp1);
  vec3 t = dp2perp * duv1.x + dp1perp * duv2.x;
  vec3 b = dp2perp * duv1.y + dp1perp * duv2.y;
  float scale = max(dot(t, t), dot(b, b));
  if (scale < 1e-12) return n;
  scale = inversesqrt(scale);
  vec3 texel = texture(g_normal_tex, texCoord).rgb;
  vec3 local = vec3((texel.xy - vec2(0.690196)) * 2.0, texel.z);
  return normalize(t * scale * local.x - b * scale * local.y + n * local.z);
}

// 0 where lit, up to 1 where the shadow map says something is nearer the light; soft
// takes four taps, else one.
float ShadowAmount(bool soft)
{
  vec3 projected = lightPosition.xyz / max(lightPosition.w, 1e-6);
  vec2 uv = vec2(projected.x * 0.5 + 0.5, 0.5 - projected.y * 0.5);
  if (uv.x < 0.0 || uv.x > 1.0 || uv.y < 0.0 || uv.y > 1.0 || projected.z > 1.0) return 0.0;
  float depth = projected.z - 0.004;
  // Low quality: one fetch, whose linear filter still softens the edge over a texel.
  if (!soft) return texture(g_shadow_tex, vec3(uv, depth)) * g_shadow_power_magnification;
  // Four fetches half a texel off centre: together a tent over three by three texels, as
  // wide as a nine-tap box, for less than half its lookups. An unbound map (no shadow
  // pass yet) answers 0 everywhere, so nothing is shadowed.
  float hidden = 0.0;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      vec2 offset = (vec2(x, y) - 0.5) * g_shadow_map_texel_size;
      hidden += texture(g_shadow_tex, vec3(uv + offset, depth));
    }
  }
  return hidden * 0.25 * g_shadow_power_magnification;
}

// The toon colour of this fragment. Called with constants, so that a technique for a
// mesh without a normal map or without reflection, or for the low quality's single
// shadow tap, leaves those lookups out altogether (a software renderer pays for a fetch
// even when it is multiplied by zero, or on the side of a branch not taken).
vec4 Shade(bool normalMapped, bool reflectsSky, bool softShadow)
{
  vec4 base = texture(g_mate_diffuse_tex, texCoord) * g_mate_diffuse;
  vec4 colour;
  if (g_light_enable == 0) {
    colour = vec4(base.rgb + g_mate_emissive.rgb, base.a);
  } else {
    vec3 n = SurfaceNormal(normalMapped);
    vec3 toLight = -normalize(g_light_direction);
    float ramp = dot(n, toLight) * 0.5 + 0.5;
    // A received shadow pulls the ramp towards its dark end.
    ramp *= 1.0 - 0.65 * clamp(ShadowAmount(softShadow), 0.0, 1.0);
    vec3 toon = texture(g_toon_tex, vec2(clamp(ramp, 0.02, 0.98), 0.5)).rgb;
    vec3 toEye = normalize(g_camera_pos - worldPosition);
    vec3 halfway = normalize(toLight + toEye);
    float power = max(g_mate_spe_power * g_spe_power_magnification, 1.0);
    float highlight = pow(max(dot(n, halfway), 0.0), power);
    highlight = smoothstep(0.45, 0.55, highlight);
    float rim = pow(1.0 - max(dot(n, toEye), 0.0), 3.0) * g_spe_camera_magnification;
    vec3 specular = g_mate_specular.rgb * (highlight + rim) * g_light_color.rgb;
    vec3 reflected = reflect(-toEye, n);
    vec3 sky = reflectsSky ? texture(g_cube_tex, vec3(reflected.xy, -reflected.z)).rgb : vec3(0.0);
    colour.rgb = base.rgb * toon * g_light_color.rgb + specular + sky * g_ref_power + g_mate_emissive.rgb;
    colour.a = base.a;
  }
  colour.rgb += g_force_emissive.rgb;
  colour.a *= g_alpha;
  return colour;
}
#endif
end

technique NormalTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(true, true, true);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

# NormalTech for meshes without a normal map (Flat), without reflection (Matt), or both.
technique NormalFlatTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(false, true, true);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

technique NormalMattTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(true, false, true);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

technique NormalFlatMattTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(false, false, true);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

# The four again with the low quality's single shadow tap.
technique NormalLowTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(true, true, false);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

technique NormalFlatLowTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(false, true, false);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

technique NormalMattLowTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(true, false, false);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

technique NormalFlatMattLowTech
  pass P0
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
  vec4 colour = Shade(false, false, false);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end

# Depth only, for an opaque mesh drawn before its shading pass, so that the shading runs
# once per pixel that is seen rather than for every surface behind it too.
technique DepthTech
  pass P0
    state COLORWRITEENABLE FALSE
    vertex
void main()
{
  Transform();
}
    end
    fragment
void main()
{
}
    end

technique PuddleReflectTech
  pass P0
    state CULLMODE CW
    vertex
out float sideOfWater;
void main()
{
  Transform();
  // The mirror moves a point by twice its height over the water, so the difference
  // tells which side it came from; things below the water must not poke up through it.
  vec4 unmirrored = mul(vec4(inPosition, 1.0), g_world_mat);
  sideOfWater = unmirrored.y - worldPosition.y;
}
    end
    fragment
in float sideOfWater;
void main()
{
  if (sideOfWater < -0.01) discard;
  vec4 colour = Shade(true, true, g_soft_shadow != 0);
  if (colour.a <= 0.004) discard;
  fragColour = colour;
}
    end
