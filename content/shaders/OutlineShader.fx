# Black outlines: the mesh drawn again as an inverted hull, pushed out along its
# normals by g_outline_size; only its back faces show, round the silhouette.

common
uniform mat4 g_world_mat = mat4(1.0);
uniform mat4 g_view_mat = mat4(1.0);
uniform mat4 g_projection_mat = mat4(1.0);
uniform vec4 g_outline_color = vec4(0.0, 0.0, 0.0, 1.0);
uniform float g_outline_size = 0.025;
end

technique Tech
  pass P0
    state CULLMODE CW
    vertex
in vec3 inPosition;
in vec3 inNormal;
void main()
{
  vec4 world = mul(vec4(inPosition, 1.0), g_world_mat);
  vec3 normal = mul(vec4(inNormal, 0.0), g_world_mat).xyz;
  float length2 = dot(normal, normal);
  if (length2 > 1e-12) world.xyz += normal * inversesqrt(length2) * g_outline_size;
  gl_Position = mul(mul(world, g_view_mat), g_projection_mat);
}
    end
    fragment
out vec4 fragColour;
void main()
{
  fragColour = g_outline_color;
}
    end
