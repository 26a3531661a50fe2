# Depth as seen from the light, into the R32F shadow map and its depth texture. Texels
# that are almost transparent in the subset's colour texture cast no shadow.

sampler g_map_tex address=wrap filter=linear

common
uniform mat4 g_world_mat = mat4(1.0);
uniform mat4 g_light_view_mat = mat4(1.0);
uniform mat4 g_light_projection_mat = mat4(1.0);
uniform sampler2D g_map_tex;

#ifdef VERTEX_STAGE
in vec3 inPosition;
out float depth;

// The vertex seen from the light, and its depth for the colour target.
void LightSpace()
{
  vec4 world = mul(vec4(inPosition, 1.0), g_world_mat);
  gl_Position = mul(mul(world, g_light_view_mat), g_light_projection_mat);
  depth = gl_Position.z / gl_Position.w;
}
#endif
end

technique Tech
  pass P0
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
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
in float depth;
in vec2 texCoord;
out vec4 fragColour;
void main()
{
  // An unbound texture reads as opaque black, so untextured subsets always cast.
  if (texture(g_map_tex, texCoord).a < 0.3) discard;
  fragColour = vec4(depth, 0.0, 0.0, 1.0);
}
    end

# Subsets without a colour texture: nothing to cut out, so no lookup and no discard,
# which lets the renderer settle depth before running the fragment at all.
technique SolidTech
  pass P0
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
    vertex
void main()
{
  LightSpace();
}
    end
    fragment
in float depth;
out vec4 fragColour;
void main()
{
  fragColour = vec4(depth, 0.0, 0.0, 1.0);
}
    end
