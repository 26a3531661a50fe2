// D3DX math for the game: row-vector, left-handed matrices (v' = v * M, translation in
// _41.._43, clip depth 0..1), quaternions, planes and vectors, as D3DX defines them.
#include "d3dx9math.h"

#include <cmath>

namespace {

// Below this squared length a vector or quaternion counts as zero and is not normalised.
constexpr float kTinyLengthSq = 1e-30f;

// Fills cof[i][j] with the cofactor of element (i, j) and returns the determinant of m.
float Determinant4(const D3DXMATRIX& m, float cof[4][4])
{
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sub[3][3];
      int r = 0;
      for (int row = 0; row < 4; ++row) {
        if (row == i) continue;
        int c = 0;
        for (int col = 0; col < 4; ++col) {
          if (col == j) continue;
          sub[r][c] = m.m[row][col];
          ++c;
        }
        ++r;
      }
      const float minor = sub[0][0] * (sub[1][1] * sub[2][2] - sub[1][2] * sub[2][1]) -
                          sub[0][1] * (sub[1][0] * sub[2][2] - sub[1][2] * sub[2][0]) +
                          sub[0][2] * (sub[1][0] * sub[2][1] - sub[1][1] * sub[2][0]);
      cof[i][j] = ((i + j) % 2 == 0) ? minor : -minor;
    }
  }
  return m.m[0][0] * cof[0][0] + m.m[0][1] * cof[0][1] + m.m[0][2] * cof[0][2] + m.m[0][3] * cof[0][3];
}

// One colour channel in 0..1 to a byte, clamped and rounded as D3DX does.
DWORD ChannelToByte(float v)
{
  if (v >= 1.0f) return 0xff;
  if (v <= 0.0f) return 0x00;
  return static_cast<DWORD>(v * 255.0f + 0.5f);
}

}  // namespace

// ---- D3DXMATRIX ------------------------------------------------------------------------

// A matrix from 16 floats in row order.
D3DXMATRIX::D3DXMATRIX(const float* f)
{
  for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = f[i];
}

// A matrix from its 16 elements, row by row.
D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44)
{
  _11 = f11;
  _12 = f12;
  _13 = f13;
  _14 = f14;
  _21 = f21;
  _22 = f22;
  _23 = f23;
  _24 = f24;
  _31 = f31;
  _32 = f32;
  _33 = f33;
  _34 = f34;
  _41 = f41;
  _42 = f42;
  _43 = f43;
  _44 = f44;
}

// this = this * mat (this transform first, then mat).
D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat)
{
  D3DXMatrixMultiply(this, this, &mat);
  return *this;
}

// The product this * mat.
D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const
{
  D3DXMATRIX out;
  D3DXMatrixMultiply(&out, this, &mat);
  return out;
}

// Element-by-element equality.
bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const
{
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (m[r][c] != mat.m[r][c]) return false;
  return true;
}

// ---- D3DXCOLOR ---------------------------------------------------------------------------

// A colour from a packed 0xAARRGGBB value, each channel scaled to 0..1.
D3DXCOLOR::D3DXCOLOR(DWORD argb)
{
  constexpr float kScale = 1.0f / 255.0f;
  a = static_cast<float>((argb >> 24) & 0xff) * kScale;
  r = static_cast<float>((argb >> 16) & 0xff) * kScale;
  g = static_cast<float>((argb >> 8) & 0xff) * kScale;
  b = static_cast<float>(argb & 0xff) * kScale;
}

// The colour packed as 0xAARRGGBB, channels clamped to 0..1 and rounded.
D3DXCOLOR::operator DWORD() const
{
  return (ChannelToByte(a) << 24) | (ChannelToByte(r) << 16) | (ChannelToByte(g) << 8) | ChannelToByte(b);
}

// ---- matrices ------------------------------------------------------------------------------

// The identity matrix.
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out)
{
  *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  return out;
}

// TRUE when m is exactly the identity.
BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* m)
{
  D3DXMATRIX id;
  D3DXMatrixIdentity(&id);
  return *m == id ? TRUE : FALSE;
}

// out = a * b; out may be a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] + a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    }
  }
  *out = r;
  return out;
}

// out = inverse of m; stores the determinant if asked; null when m is singular.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m)
{
  float cof[4][4];
  const float det = Determinant4(*m, cof);
  if (determinant) *determinant = det;
  if (det == 0.0f) return nullptr;
  const float inv = 1.0f / det;
  D3DXMATRIX r;
  // The inverse is the transposed cofactor matrix over the determinant.
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = cof[j][i] * inv;
  *out = r;
  return out;
}

// out = transpose of m; out may be m.
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m)
{
  D3DXMATRIX r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.m[i][j] = m->m[j][i];
  *out = r;
  return out;
}

// A translation by (x, y, z), held in the fourth row.
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
  *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
  return out;
}

// A scaling by sx, sy, sz along the axes.
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz)
{
  *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
  return out;
}

// A rotation about x: y turns towards z for a positive angle.
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle)
{
  const float c = std::cos(angle), s = std::sin(angle);
  *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
  return out;
}

// A rotation about y: z turns towards x for a positive angle.
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle)
{
  const float c = std::cos(angle), s = std::sin(angle);
  *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
  return out;
}

// A rotation about z: x turns towards y for a positive angle.
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle)
{
  const float c = std::cos(angle), s = std::sin(angle);
  *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  return out;
}

// A rotation by angle about an axis through the origin; the axis is normalised first.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle)
{
  D3DXVECTOR3 n;
  D3DXVec3Normalize(&n, axis);
  const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
  *out = D3DXMATRIX(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0, t * n.x * n.y - s * n.z,
                    t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0, t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x,
                    t * n.z * n.z + c, 0, 0, 0, 0, 1);
  return out;
}

// Roll about z, then pitch about x, then yaw about y: RotZ(roll) * RotX(pitch) * RotY(yaw).
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll)
{
  D3DXMATRIX rz, rx, ry;
  D3DXMatrixRotationZ(&rz, roll);
  D3DXMatrixRotationX(&rx, pitch);
  D3DXMatrixRotationY(&ry, yaw);
  *out = rz * rx * ry;
  return out;
}

// The rotation a unit quaternion describes.
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q)
{
  const float x = q->x, y = q->y, z = q->z, w = q->w;
  *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0, 2 * (x * y - z * w),
                    1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0, 2 * (x * z + y * w), 2 * (y * z - x * w),
                    1 - 2 * (x * x + y * y), 0, 0, 0, 0, 1);
  return out;
}

// A left-handed view matrix: eye at the origin looking down +z, up along +y.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up)
{
  D3DXVECTOR3 zaxis, xaxis, yaxis;
  const D3DXVECTOR3 forward = *at - *eye;
  D3DXVec3Normalize(&zaxis, &forward);
  D3DXVec3Cross(&xaxis, up, &zaxis);
  D3DXVec3Normalize(&xaxis, &xaxis);
  D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
  *out = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0, xaxis.y, yaxis.y, zaxis.y, 0, xaxis.z, yaxis.z, zaxis.z, 0,
                    -D3DXVec3Dot(&xaxis, eye), -D3DXVec3Dot(&yaxis, eye), -D3DXVec3Dot(&zaxis, eye), 1);
  return out;
}

// A left-handed perspective projection mapping zn to depth 0 and zf to depth 1 (after w divide).
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf)
{
  const float yScale = 1.0f / std::tan(fovY * 0.5f);
  const float xScale = yScale / aspect;
  const float q = zf / (zf - zn);
  *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, q, 1, 0, 0, -zn * q, 0);
  return out;
}

// A left-handed orthographic projection of a w x h view centred on the axis.
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf)
{
  *out = D3DXMATRIX(2.0f / w, 0, 0, 0, 0, 2.0f / h, 0, 0, 0, 0, 1.0f / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
  return out;
}

// A left-handed orthographic projection of the view box l..r, b..t, zn..zf.
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf)
{
  *out = D3DXMATRIX(2.0f / (r - l), 0, 0, 0, 0, 2.0f / (t - b), 0, 0, 0, 0, 1.0f / (zf - zn), 0, (l + r) / (l - r),
                    (t + b) / (b - t), zn / (zn - zf), 1);
  return out;
}

// A reflection across a plane; the plane is normalised first.
D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane)
{
  D3DXPLANE p;
  D3DXPlaneNormalize(&p, plane);
  *out = D3DXMATRIX(1 - 2 * p.a * p.a, -2 * p.b * p.a, -2 * p.c * p.a, 0, -2 * p.a * p.b, 1 - 2 * p.b * p.b,
                    -2 * p.c * p.b, 0, -2 * p.a * p.c, -2 * p.b * p.c, 1 - 2 * p.c * p.c, 0, -2 * p.a * p.d,
                    -2 * p.b * p.d, -2 * p.c * p.d, 1);
  return out;
}

// ---- quaternions ---------------------------------------------------------------------------

// The identity rotation (0, 0, 0, 1).
D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out)
{
  *out = D3DXQUATERNION(0, 0, 0, 1);
  return out;
}

// The unit quaternion of the rotation held in m's upper 3x3.
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m)
{
  const float trace = m->_11 + m->_22 + m->_33;
  D3DXQUATERNION q;
  // Divide by the largest of the four components to stay accurate.
  if (trace > 0.0f) {
    const float s = std::sqrt(trace + 1.0f) * 2.0f;  // 4w
    q.w = 0.25f * s;
    q.x = (m->_23 - m->_32) / s;
    q.y = (m->_31 - m->_13) / s;
    q.z = (m->_12 - m->_21) / s;
  } else if (m->_11 >= m->_22 && m->_11 >= m->_33) {
    const float s = std::sqrt(1.0f + m->_11 - m->_22 - m->_33) * 2.0f;  // 4x
    q.x = 0.25f * s;
    q.w = (m->_23 - m->_32) / s;
    q.y = (m->_12 + m->_21) / s;
    q.z = (m->_13 + m->_31) / s;
  } else if (m->_22 >= m->_33) {
    const float s = std::sqrt(1.0f + m->_22 - m->_11 - m->_33) * 2.0f;  // 4y
    q.y = 0.25f * s;
    q.w = (m->_31 - m->_13) / s;
    q.x = (m->_12 + m->_21) / s;
    q.z = (m->_23 + m->_32) / s;
  } else {
    const float s = std::sqrt(1.0f + m->_33 - m->_11 - m->_22) * 2.0f;  // 4z
    q.z = 0.25f * s;
    q.w = (m->_12 - m->_21) / s;
    q.x = (m->_13 + m->_31) / s;
    q.y = (m->_23 + m->_32) / s;
  }
  *out = q;
  return out;
}

// A rotation by angle about an axis; the axis is normalised first.
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle)
{
  D3DXVECTOR3 n;
  D3DXVec3Normalize(&n, axis);
  const float s = std::sin(angle * 0.5f);
  *out = D3DXQUATERNION(n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f));
  return out;
}

// The same rotation as D3DXMatrixRotationYawPitchRoll: roll, then pitch, then yaw.
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll)
{
  const D3DXVECTOR3 xAxis(1, 0, 0), yAxis(0, 1, 0), zAxis(0, 0, 1);
  D3DXQUATERNION qRoll, qPitch, qYaw, q;
  D3DXQuaternionRotationAxis(&qRoll, &zAxis, roll);
  D3DXQuaternionRotationAxis(&qPitch, &xAxis, pitch);
  D3DXQuaternionRotationAxis(&qYaw, &yAxis, yaw);
  D3DXQuaternionMultiply(&q, &qRoll, &qPitch);
  D3DXQuaternionMultiply(out, &q, &qYaw);
  return out;
}

// Spherical interpolation from a (t = 0) to b (t = 1) along the shorter arc.
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* a, const D3DXQUATERNION* b, float t)
{
  float cosom = a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
  // q and -q are the same rotation; flip b so the path is the short one.
  float sign = 1.0f;
  if (cosom < 0.0f) {
    cosom = -cosom;
    sign = -1.0f;
  }
  float wa = 1.0f - t, wb = t;
  // Nearly parallel: the arc is a straight line and sin(omega) would be ~0.
  if (cosom < 0.9999f) {
    const float omega = std::acos(cosom);
    const float sinom = std::sin(omega);
    wa = std::sin((1.0f - t) * omega) / sinom;
    wb = std::sin(t * omega) / sinom;
  }
  wb *= sign;
  *out = D3DXQUATERNION(wa * a->x + wb * b->x, wa * a->y + wb * b->y, wa * a->z + wb * b->z, wa * a->w + wb * b->w);
  return out;
}

// q scaled to unit length; a zero quaternion stays zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q)
{
  const float lenSq = q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w;
  if (lenSq < kTinyLengthSq) {
    *out = D3DXQUATERNION(0, 0, 0, 0);
    return out;
  }
  const float inv = 1.0f / std::sqrt(lenSq);
  *out = D3DXQUATERNION(q->x * inv, q->y * inv, q->z * inv, q->w * inv);
  return out;
}

// The rotation a followed by b (the Hamilton product b * a); out may be a or b.
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* a, const D3DXQUATERNION* b)
{
  const D3DXQUATERNION p = *b, q = *a;
  *out = D3DXQUATERNION(p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y, p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x,
                        p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w, p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z);
  return out;
}

// ---- planes ----------------------------------------------------------------------------------

// The plane through point with the given normal: (n, -point . n).
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal)
{
  *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
  return out;
}

// The plane scaled so its normal has unit length; a zero normal gives a zero plane.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p)
{
  const float lenSq = p->a * p->a + p->b * p->b + p->c * p->c;
  if (lenSq < kTinyLengthSq) {
    *out = D3DXPLANE(0, 0, 0, 0);
    return out;
  }
  const float inv = 1.0f / std::sqrt(lenSq);
  *out = D3DXPLANE(p->a * inv, p->b * inv, p->c * inv, p->d * inv);
  return out;
}

// a*x + b*y + c*z + d: the signed distance of v when the plane is normalised.
float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v)
{
  return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}

// ---- vectors -----------------------------------------------------------------------------------

// Length of v.
float D3DXVec3Length(const D3DXVECTOR3* v)
{
  return std::sqrt(D3DXVec3LengthSq(v));
}

// Squared length of v.
float D3DXVec3LengthSq(const D3DXVECTOR3* v)
{
  return v->x * v->x + v->y * v->y + v->z * v->z;
}

// Dot product a . b.
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
  return a->x * b->x + a->y * b->y + a->z * b->z;
}

// Cross product a x b; out may be a or b.
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
  const D3DXVECTOR3 r(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
  *out = r;
  return out;
}

// v scaled to unit length; a zero vector stays zero.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v)
{
  const float lenSq = D3DXVec3LengthSq(v);
  if (lenSq < kTinyLengthSq) {
    *out = D3DXVECTOR3(0, 0, 0);
    return out;
  }
  const float inv = 1.0f / std::sqrt(lenSq);
  *out = D3DXVECTOR3(v->x * inv, v->y * inv, v->z * inv);
  return out;
}

// a + t * (b - a).
D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float t)
{
  *out = D3DXVECTOR3(a->x + t * (b->x - a->x), a->y + t * (b->y - a->y), a->z + t * (b->z - a->z));
  return out;
}

// (x, y, z, 1) * m, divided by the resulting w.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
  D3DXVECTOR4 r;
  D3DXVec3Transform(&r, v, m);
  *out = D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w);
  return out;
}

// (x, y, z, 0) * m: the direction turned by m's upper 3x3, translation ignored.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
  const D3DXVECTOR3 r(v->x * m->_11 + v->y * m->_21 + v->z * m->_31, v->x * m->_12 + v->y * m->_22 + v->z * m->_32,
                      v->x * m->_13 + v->y * m->_23 + v->z * m->_33);
  *out = r;
  return out;
}

// (x, y, z, 1) * m as a 4-vector.
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
  const D3DXVECTOR4 v4(v->x, v->y, v->z, 1.0f);
  return D3DXVec4Transform(out, &v4, m);
}

// v * m; out may be v.
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m)
{
  const D3DXVECTOR4 r(v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + v->w * m->_41,
                      v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + v->w * m->_42,
                      v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + v->w * m->_43,
                      v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + v->w * m->_44);
  *out = r;
  return out;
}

// Length of a 2D vector.
float D3DXVec2Length(const D3DXVECTOR2* v)
{
  return std::sqrt(v->x * v->x + v->y * v->y);
}

// v scaled to unit length; a zero vector stays zero.
D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v)
{
  const float lenSq = v->x * v->x + v->y * v->y;
  if (lenSq < kTinyLengthSq) {
    *out = D3DXVECTOR2(0, 0);
    return out;
  }
  const float inv = 1.0f / std::sqrt(lenSq);
  *out = D3DXVECTOR2(v->x * inv, v->y * inv);
  return out;
}
