# Depth as seen from the light, into the R32F shadow map. Texels that are almost
# transparent in the subset's colour texture cast no shadow.

sampler g_map_tex address=wrap filter=linear

common
uniform mat4 g_world_mat = mat4(1.0);
uniform mat4 g_light_view_mat = mat4(1.0);
uniform mat4 g_light_projection_mat = mat4(1.0);
uniform sampler2D g_map_tex;
end

technique Tech
  pass P0
    state CULLMODE NONE
    state ALPHABLENDENABLE FALSE
    vertex
in vec3 inPosition;
in vec2 inTexCoord;
out float depth;
out vec2 texCoord;
void main()
{
  vec4 world = mul(vec4(inPosition, 1.0), g_world_mat);
  gl_Position = mul(mul(world, g_light_view_mat), g_light_projection_mat);
  depth = gl_Position.z / gl_Position.w;
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
