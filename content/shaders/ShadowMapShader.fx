# Depth as seen from the light, into the shadow map's depth texture (the toon effect
# reads it through the hardware's comparison). Its colour target holds no colour (the
# NULL format): a pass needs one bound, and nothing is written to it. Texels that are
# almost transparent in the subset's colour texture cast no shadow.

sampler g_map_tex address=wrap filter=linear

common
uniform mat4 g_world_mat = mat4(1.0);
uniform mat4 g_light_view_mat = mat4(1.0);
uniform mat4 g_light_projection_mat = mat4(1.0);
uniform sampler2D g_map_tex;

#ifdef VERTEX_STAGE
in vec3 inPosition;

// The vertex seen from the light.
void LightSpace()
{
  vec4 world = mul(vec4(inPosition, 1.0), g_world_mat);
  gl_Position = mul(mul(world, g_light_view_mat), g_light_projection_mat);
}
#endif
end

technique Tech
  pass P0
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
    state COLORWRITEENABLE FALSE
    vertex
in vec2 inTexCoord;
out vec2 texCoord;
void main()
{
  LightSpace();
  texCoord = inTexCoord;
}
    end
    fragment
in vec2 texCoord;
void main()
{
  // An unbound texture reads as opaque black, so untextured subsets always cast.
  if (texture(g_map_tex, texCoord).a < 0.3) discard;
}
    end

# Subsets without a colour texture: nothing to cut out, so no lookup and no discard,
# which lets the renderer settle depth before running the fragment at all.
technique SolidTech
  pass P0
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
    state COLORWRITEENABLE FALSE
    vertex
void main()
{
  LightSpace();
}
    end
    fragment
void main()
{
}
    end
