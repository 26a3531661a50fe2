// Tests for the D3DX math: each function checked against values worked out by hand from
// the row-vector, left-handed formulas (v' = v * M, translation in row 4, depth 0..1).
#include "d3dx9math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kEps = 1e-5f;
const float kRootHalf = std::sqrt(0.5f);

// Every element of a within tol of the matching element of b.
void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tol = kEps)
{
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], tol) << "element _" << r + 1 << c + 1;
}

// Each component of v within tol of (x, y, z).
void ExpectVec3Near(const D3DXVECTOR3& v, float x, float y, float z, float tol = kEps)
{
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

// Each component of q within tol of (x, y, z, w).
void ExpectQuatNear(const D3DXQUATERNION& q, float x, float y, float z, float w, float tol = kEps)
{
  EXPECT_NEAR(q.x, x, tol);
  EXPECT_NEAR(q.y, y, tol);
  EXPECT_NEAR(q.z, z, tol);
  EXPECT_NEAR(q.w, w, tol);
}

// v * m with the divide by w.
D3DXVECTOR3 Apply(const D3DXMATRIX& m, float x, float y, float z)
{
  const D3DXVECTOR3 v(x, y, z);
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &v, &m);
  return out;
}

// The row-major matrix with elements 1..16.
D3DXMATRIX Counting()
{
  return D3DXMATRIX(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
}

}  // namespace

// ---- matrix basics ------------------------------------------------------------------------

TEST(MatrixBasics, ConstructorsAndElementAccess)
{
  const float f[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const D3DXMATRIX fromArray(f);
  EXPECT_TRUE(fromArray == Counting());
  EXPECT_EQ(fromArray._23, 7.0f);
  EXPECT_EQ(fromArray._41, 13.0f);
  EXPECT_EQ(fromArray(2, 1), 10.0f);
  D3DXMATRIX changed = fromArray;
  changed(3, 3) = 0.0f;
  EXPECT_TRUE(changed != fromArray);
}

TEST(MatrixBasics, IdentityAndIsIdentity)
{
  D3DXMATRIX id;
  D3DXMatrixIdentity(&id);
  EXPECT_TRUE(id == D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
  EXPECT_TRUE(D3DXMatrixIsIdentity(&id));
  id._42 = 0.5f;
  EXPECT_FALSE(D3DXMatrixIsIdentity(&id));
}

TEST(MatrixBasics, MultiplyCountingMatrixBySelf)
{
  const D3DXMATRIX a = Counting();
  D3DXMATRIX p;
  D3DXMatrixMultiply(&p, &a, &a);
  // Row 1 . column 1 = 1 + 10 + 27 + 52; row 1 . column 2 = 2 + 12 + 30 + 56.
  EXPECT_FLOAT_EQ(p._11, 90.0f);
  EXPECT_FLOAT_EQ(p._12, 100.0f);
  // Row 2 . column 3 = 15 + 42 + 77 + 120; row 4 . column 4 = 52 + 112 + 180 + 256.
  EXPECT_FLOAT_EQ(p._23, 254.0f);
  EXPECT_FLOAT_EQ(p._44, 600.0f);
  EXPECT_TRUE(a * a == p);
}

TEST(MatrixBasics, MultiplyAppliesLeftOperandFirst)
{
  D3DXMATRIX t, s;
  D3DXMatrixTranslation(&t, 1, 2, 3);
  D3DXMatrixScaling(&s, 2, 2, 2);
  // Move then scale: the origin goes to (1,2,3), then doubles.
  ExpectVec3Near(Apply(t * s, 0, 0, 0), 2, 4, 6);
  // Scale then move: the origin stays, then moves.
  ExpectVec3Near(Apply(s * t, 0, 0, 0), 1, 2, 3);
}

TEST(MatrixBasics, MultiplyIntoOperand)
{
  D3DXMATRIX t, s;
  D3DXMatrixTranslation(&t, 1, 2, 3);
  D3DXMatrixScaling(&s, 2, 2, 2);
  D3DXMATRIX expected = t * s;
  D3DXMatrixMultiply(&t, &t, &s);
  EXPECT_TRUE(t == expected);
  D3DXMATRIX u;
  D3DXMatrixTranslation(&u, 1, 2, 3);
  u *= s;
  EXPECT_TRUE(u == expected);
}

TEST(MatrixBasics, Transpose)
{
  const D3DXMATRIX a = Counting();
  D3DXMATRIX t;
  D3DXMatrixTranspose(&t, &a);
  EXPECT_TRUE(t == D3DXMATRIX(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
  D3DXMatrixTranspose(&t, &t);
  EXPECT_TRUE(t == a);
}

// ---- inverse ---------------------------------------------------------------------------

TEST(MatrixInverse, TwoByTwoBlockByHand)
{
  // [[1,2],[3,4]] has determinant -2 and inverse [[-2,1],[1.5,-0.5]].
  const D3DXMATRIX m(1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  D3DXMATRIX inv;
  float det = 0.0f;
  ASSERT_EQ(D3DXMatrixInverse(&inv, &det, &m), &inv);
  EXPECT_NEAR(det, -2.0f, kEps);
  ExpectMatrixNear(inv, D3DXMATRIX(-2, 1, 0, 0, 1.5f, -0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
}

TEST(MatrixInverse, ScaleAndTranslationByHand)
{
  D3DXMATRIX s, t, inv;
  D3DXMatrixScaling(&s, 2, 4, 5);
  D3DXMatrixTranslation(&t, 1, 2, 3);
  const D3DXMATRIX m = s * t;
  float det = 0.0f;
  ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
  EXPECT_NEAR(det, 40.0f, 1e-4f);
  // Undo the move, then the scale: translation (-1,-2,-3) scaled by (1/2, 1/4, 1/5).
  ExpectMatrixNear(inv, D3DXMATRIX(0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.2f, 0, -0.5f, -0.5f, -0.6f, 1));
}

TEST(MatrixInverse, TimesMatrixIsIdentity)
{
  D3DXMATRIX s, r, t, id;
  D3DXMatrixScaling(&s, 2, 3, 0.5f);
  D3DXMatrixRotationYawPitchRoll(&r, 0.4f, -0.9f, 1.3f);
  D3DXMatrixTranslation(&t, -7, 11, 2.5f);
  D3DXMATRIX m = s * r * t;
  m._14 = 0.1f;  // a projective column too, so every cofactor matters
  D3DXMATRIX inv;
  ASSERT_NE(D3DXMatrixInverse(&inv, nullptr, &m), nullptr);
  D3DXMatrixIdentity(&id);
  ExpectMatrixNear(inv * m, id, 1e-5f);
  ExpectMatrixNear(m * inv, id, 1e-5f);
}

TEST(MatrixInverse, InPlace)
{
  D3DXMATRIX m;
  D3DXMatrixTranslation(&m, 4, 5, 6);
  ASSERT_EQ(D3DXMatrixInverse(&m, nullptr, &m), &m);
  ExpectMatrixNear(m, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -4, -5, -6, 1));
}

TEST(MatrixInverse, SingularReturnsNull)
{
  // Rows 1..4 of the counting matrix are in arithmetic progression, so it is singular.
  const D3DXMATRIX m = Counting();
  D3DXMATRIX inv;
  D3DXMatrixIdentity(&inv);
  float det = 99.0f;
  EXPECT_EQ(D3DXMatrixInverse(&inv, &det, &m), nullptr);
  EXPECT_EQ(det, 0.0f);
  EXPECT_TRUE(D3DXMatrixIsIdentity(&inv));  // left alone
}

// ---- transforms ----------------------------------------------------------------------------

TEST(MatrixTransforms, TranslationIsInFourthRow)
{
  D3DXMATRIX t;
  D3DXMatrixTranslation(&t, 1, 2, 3);
  EXPECT_EQ(t._41, 1.0f);
  EXPECT_EQ(t._42, 2.0f);
  EXPECT_EQ(t._43, 3.0f);
  EXPECT_EQ(t._14, 0.0f);
  ExpectVec3Near(Apply(t, 10, 20, 30), 11, 22, 33);
}

TEST(MatrixTransforms, Scaling)
{
  D3DXMATRIX s;
  D3DXMatrixScaling(&s, 2, -3, 0.5f);
  ExpectVec3Near(Apply(s, 1, 1, 4), 2, -3, 2);
}

TEST(MatrixTransforms, RotationXTurnsYTowardsZ)
{
  D3DXMATRIX r;
  D3DXMatrixRotationX(&r, D3DX_PI / 2);
  ExpectVec3Near(Apply(r, 0, 1, 0), 0, 0, 1);
  ExpectVec3Near(Apply(r, 0, 0, 1), 0, -1, 0);
  D3DXMatrixRotationX(&r, D3DX_PI / 6);
  // cos 30 = 0.866025, sin 30 = 0.5; _23 = sin, _32 = -sin.
  EXPECT_NEAR(r._22, 0.866025f, kEps);
  EXPECT_NEAR(r._23, 0.5f, kEps);
  EXPECT_NEAR(r._32, -0.5f, kEps);
}

TEST(MatrixTransforms, RotationYTurnsZTowardsX)
{
  D3DXMATRIX r;
  D3DXMatrixRotationY(&r, D3DX_PI / 2);
  ExpectVec3Near(Apply(r, 0, 0, 1), 1, 0, 0);
  ExpectVec3Near(Apply(r, 1, 0, 0), 0, 0, -1);
}

TEST(MatrixTransforms, RotationZTurnsXTowardsY)
{
  D3DXMATRIX r;
  D3DXMatrixRotationZ(&r, D3DX_PI / 2);
  ExpectVec3Near(Apply(r, 1, 0, 0), 0, 1, 0);
  ExpectVec3Near(Apply(r, 0, 1, 0), -1, 0, 0);
}

TEST(MatrixTransforms, RotationAxisMatchesAxisRotations)
{
  const D3DXVECTOR3 x(3, 0, 0), y(0, 0.5f, 0), z(0, 0, 2);  // not unit: must be normalised
  D3DXMATRIX a, b;
  D3DXMatrixRotationAxis(&a, &x, 0.7f);
  D3DXMatrixRotationX(&b, 0.7f);
  ExpectMatrixNear(a, b);
  D3DXMatrixRotationAxis(&a, &y, -1.1f);
  D3DXMatrixRotationY(&b, -1.1f);
  ExpectMatrixNear(a, b);
  D3DXMatrixRotationAxis(&a, &z, 2.3f);
  D3DXMatrixRotationZ(&b, 2.3f);
  ExpectMatrixNear(a, b);
}

TEST(MatrixTransforms, RotationAxisDiagonalCyclesAxes)
{
  // A third of a turn about (1,1,1) sends x to y, y to z and z to x.
  const D3DXVECTOR3 axis(2, 2, 2);
  D3DXMATRIX r;
  D3DXMatrixRotationAxis(&r, &axis, 2.0f * D3DX_PI / 3.0f);
  ExpectVec3Near(Apply(r, 1, 0, 0), 0, 1, 0);
  ExpectVec3Near(Apply(r, 0, 1, 0), 0, 0, 1);
  ExpectVec3Near(Apply(r, 0, 0, 1), 1, 0, 0);
}

TEST(MatrixTransforms, YawPitchRollIsRollThenPitchThenYaw)
{
  D3DXMATRIX ypr, rz, rx, ry;
  D3DXMatrixRotationYawPitchRoll(&ypr, 0.3f, 0.5f, 0.7f);
  D3DXMatrixRotationZ(&rz, 0.7f);
  D3DXMatrixRotationX(&rx, 0.5f);
  D3DXMatrixRotationY(&ry, 0.3f);
  ExpectMatrixNear(ypr, rz * rx * ry);
  // The reverse order is a different rotation.
  const D3DXMATRIX reversed = ry * rx * rz;
  EXPECT_GT(std::fabs(ypr._13 - reversed._13) + std::fabs(ypr._31 - reversed._31), 0.05f);
}

TEST(MatrixTransforms, YawPitchRollByHand)
{
  // Roll 90 sends x to y, then yaw 90 leaves y alone; z stays through roll, then yaws to x.
  D3DXMATRIX r;
  D3DXMatrixRotationYawPitchRoll(&r, D3DX_PI / 2, 0, D3DX_PI / 2);
  ExpectVec3Near(Apply(r, 1, 0, 0), 0, 1, 0);
  ExpectVec3Near(Apply(r, 0, 0, 1), 1, 0, 0);
  // Pitch 90 alone tips forward (+z) down to -y.
  D3DXMatrixRotationYawPitchRoll(&r, 0, D3DX_PI / 2, 0);
  ExpectVec3Near(Apply(r, 0, 0, 1), 0, -1, 0);
}

TEST(MatrixTransforms, RotationQuaternionByHand)
{
  // 90 degrees about x: q = (sin 45, 0, 0, cos 45).
  const D3DXQUATERNION q(kRootHalf, 0, 0, kRootHalf);
  D3DXMATRIX r;
  D3DXMatrixRotationQuaternion(&r, &q);
  ExpectMatrixNear(r, D3DXMATRIX(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1));
  const D3DXQUATERNION identity(0, 0, 0, 1);
  D3DXMatrixRotationQuaternion(&r, &identity);
  EXPECT_TRUE(D3DXMatrixIsIdentity(&r));
}

// ---- view and projection ----------------------------------------------------------------

TEST(ViewProjection, LookAtAlongZIsIdentityRotation)
{
  const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
  D3DXMATRIX v;
  D3DXMatrixLookAtLH(&v, &eye, &at, &up);
  ExpectMatrixNear(v, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1));
  // Right of the target stays right (+x), above stays above (+y), in a left-handed view.
  ExpectVec3Near(Apply(v, 1, 2, 0), 1, 2, 10);
}

TEST(ViewProjection, LookAtFromTheLightEye)
{
  // Light direction (0.5, -1, 0.3) has length sqrt(1.34) = 1.157584; the eye sits 75 units
  // back along it from the origin.
  D3DXVECTOR3 dir(0.5f, -1.0f, 0.3f);
  D3DXVec3Normalize(&dir, &dir);
  ExpectVec3Near(dir, 0.431934f, -0.863868f, 0.259161f);
  const D3DXVECTOR3 focus(0, 0, 0), up(0, 1, 0);
  const D3DXVECTOR3 eye = focus - 75.0f * dir;
  ExpectVec3Near(eye, -32.3951f, 64.7901f, -19.4370f, 1e-3f);

  D3DXMATRIX v;
  D3DXMatrixLookAtLH(&v, &eye, &focus, &up);
  // The axes: z = dir; x = up x z = (0.3, 0, -0.5)/sqrt(0.34); y = z x x = (0.5, 0.34, 0.3)/sqrt(0.4556).
  ExpectVec3Near(D3DXVECTOR3(v._13, v._23, v._33), 0.431934f, -0.863868f, 0.259161f);
  ExpectVec3Near(D3DXVECTOR3(v._11, v._21, v._31), 0.514496f, 0.0f, -0.857493f);
  ExpectVec3Near(D3DXVECTOR3(v._12, v._22, v._32), 0.740762f, 0.503718f, 0.444457f);
  // The focus lies straight ahead at the eye's distance; the eye itself at the view origin.
  ExpectVec3Near(Apply(v, 0, 0, 0), 0, 0, 75, 1e-4f);
  ExpectVec3Near(Apply(v, eye.x, eye.y, eye.z), 0, 0, 0, 1e-4f);
  // One unit above the focus: (0, y.y, z.y) away from the focus in view space.
  ExpectVec3Near(Apply(v, 0, 1, 0), 0, 0.503718f, 75.0f - 0.863868f, 1e-4f);
}

TEST(ViewProjection, PerspectiveElementsByHand)
{
  // 60 degree field, 16:9: yScale = cot 30 = 1.732051, xScale = yScale * 9/16.
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 3, 16.0f / 9.0f, 1.0f, 101.0f);
  EXPECT_NEAR(p._22, 1.732051f, kEps);
  EXPECT_NEAR(p._11, 0.974279f, kEps);
  EXPECT_NEAR(p._33, 1.01f, kEps);   // 101 / 100
  EXPECT_NEAR(p._43, -1.01f, kEps);  // -1 * 101 / 100
  EXPECT_EQ(p._34, 1.0f);
  EXPECT_EQ(p._44, 0.0f);
}

TEST(ViewProjection, PerspectiveMapsNearToZeroAndFarToOne)
{
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
  ExpectVec3Near(Apply(p, 0, 0, 1), 0, 0, 0);
  ExpectVec3Near(Apply(p, 0, 0, 100), 0, 0, 1, 1e-5f);
  // A 90 degree field: the frustum edge at depth 2 is at +-2, which lands on +-1.
  const D3DXVECTOR3 edge = Apply(p, 2, -2, 2);
  EXPECT_NEAR(edge.x, 1.0f, kEps);
  EXPECT_NEAR(edge.y, -1.0f, kEps);
  // Half way in x at depth 2 is 0.5 after the divide; depth 2 is (2*100/99 - 100/99)/2.
  const D3DXVECTOR3 mid = Apply(p, 1, 0, 2);
  EXPECT_NEAR(mid.x, 0.5f, kEps);
  EXPECT_NEAR(mid.z, 50.0f / 99.0f, kEps);
}

TEST(ViewProjection, OrthoLH)
{
  D3DXMATRIX p;
  D3DXMatrixOrthoLH(&p, 20, 10, 10, 50);
  EXPECT_NEAR(p._11, 0.1f, kEps);
  EXPECT_NEAR(p._22, 0.2f, kEps);
  EXPECT_NEAR(p._33, 0.025f, kEps);  // 1 / 40
  EXPECT_NEAR(p._43, -0.25f, kEps);  // 10 / -40
  EXPECT_EQ(p._44, 1.0f);
  ExpectVec3Near(Apply(p, 10, 5, 10), 1, 1, 0);
  ExpectVec3Near(Apply(p, -10, -5, 50), -1, -1, 1);
}

TEST(ViewProjection, OrthoOffCenterForScreenPixels)
{
  // A 1280 x 720 screen with y down: left 0, right 1280, bottom 720, top 0.
  D3DXMATRIX p;
  D3DXMatrixOrthoOffCenterLH(&p, 0, 1280, 720, 0, 0, 1);
  EXPECT_NEAR(p._11, 2.0f / 1280.0f, 1e-8f);
  EXPECT_NEAR(p._22, -1.0f / 360.0f, 1e-8f);
  EXPECT_NEAR(p._41, -1.0f, kEps);
  EXPECT_NEAR(p._42, 1.0f, kEps);
  ExpectVec3Near(Apply(p, 0, 0, 0), -1, 1, 0);
  ExpectVec3Near(Apply(p, 1280, 720, 1), 1, -1, 1);
  ExpectVec3Near(Apply(p, 640, 360, 0.5f), 0, 0, 0.5f);
}

TEST(ViewProjection, ReflectAcrossGroundNegatesY)
{
  const D3DXPLANE ground(0, 1, 0, 0);
  D3DXMATRIX r;
  D3DXMatrixReflect(&r, &ground);
  ExpectMatrixNear(r, D3DXMATRIX(1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
  ExpectVec3Near(Apply(r, 3, 5, 7), 3, -5, 7);
}

TEST(ViewProjection, ReflectNormalisesThePlane)
{
  // 2y - 4 = 0 is the plane y = 2: (3,5,7) is 3 above it and goes to 3 below, y = -1.
  const D3DXPLANE plane(0, 2, 0, -4);
  D3DXMATRIX r;
  D3DXMatrixReflect(&r, &plane);
  EXPECT_NEAR(r._22, -1.0f, kEps);
  EXPECT_NEAR(r._42, 4.0f, kEps);
  ExpectVec3Near(Apply(r, 3, 5, 7), 3, -1, 7);
  // A tilted plane x = y through the origin swaps x and y.
  const D3DXPLANE diagonal(1, -1, 0, 0);
  D3DXMatrixReflect(&r, &diagonal);
  ExpectVec3Near(Apply(r, 2, 5, 1), 5, 2, 1);
}

// ---- quaternions -------------------------------------------------------------------------

TEST(Quaternion, IdentityAndAxis)
{
  D3DXQUATERNION q;
  D3DXQuaternionIdentity(&q);
  EXPECT_TRUE(q == D3DXQUATERNION(0, 0, 0, 1));
  // 90 degrees about an unnormalised y axis: (0, sin 45, 0, cos 45).
  const D3DXVECTOR3 axis(0, 4, 0);
  D3DXQuaternionRotationAxis(&q, &axis, D3DX_PI / 2);
  ExpectQuatNear(q, 0, kRootHalf, 0, kRootHalf);
  D3DXMATRIX fromQ, ry;
  D3DXMatrixRotationQuaternion(&fromQ, &q);
  D3DXMatrixRotationY(&ry, D3DX_PI / 2);
  ExpectMatrixNear(fromQ, ry);
}

TEST(Quaternion, MultiplyIsFirstThenSecond)
{
  // 90 about z then 90 about y is a third of a turn about (1,1,1): (0.5, 0.5, 0.5, 0.5).
  const D3DXQUATERNION qz(0, 0, kRootHalf, kRootHalf), qy(0, kRootHalf, 0, kRootHalf);
  D3DXQUATERNION q;
  D3DXQuaternionMultiply(&q, &qz, &qy);
  ExpectQuatNear(q, 0.5f, 0.5f, 0.5f, 0.5f);
  // The other order turns about (-1,1,1).
  D3DXQuaternionMultiply(&q, &qy, &qz);
  ExpectQuatNear(q, -0.5f, 0.5f, 0.5f, 0.5f);
}

TEST(Quaternion, MultiplyMatchesMatrixProduct)
{
  const D3DXVECTOR3 a1(1, 2, 3), a2(-2, 0.5f, 1);
  D3DXQUATERNION q1, q2, q;
  D3DXQuaternionRotationAxis(&q1, &a1, 0.8f);
  D3DXQuaternionRotationAxis(&q2, &a2, -1.9f);
  D3DXQuaternionMultiply(&q, &q1, &q2);
  D3DXMATRIX m1, m2, m;
  D3DXMatrixRotationQuaternion(&m1, &q1);
  D3DXMatrixRotationQuaternion(&m2, &q2);
  D3DXMatrixRotationQuaternion(&m, &q);
  ExpectMatrixNear(m, m1 * m2);
}

TEST(Quaternion, YawPitchRollMatchesMatrix)
{
  D3DXQUATERNION q;
  D3DXQuaternionRotationYawPitchRoll(&q, 0.3f, 0.5f, 0.7f);
  D3DXMATRIX fromQ, ypr;
  D3DXMatrixRotationQuaternion(&fromQ, &q);
  D3DXMatrixRotationYawPitchRoll(&ypr, 0.3f, 0.5f, 0.7f);
  ExpectMatrixNear(fromQ, ypr);
  // Yaw alone: half-angle about y.
  D3DXQuaternionRotationYawPitchRoll(&q, 1.0f, 0, 0);
  ExpectQuatNear(q, 0, std::sin(0.5f), 0, std::cos(0.5f));
}

TEST(Quaternion, RoundTripThroughMatrix)
{
  // Quaternions chosen so each branch of the matrix conversion is taken (w, x, y, z largest).
  const D3DXQUATERNION cases[] = {
      {0.1f, 0.2f, 0.3f, 0.9f}, {0.9f, -0.2f, 0.3f, 0.1f}, {0.2f, 0.9f, -0.3f, -0.1f}, {-0.3f, 0.1f, 0.9f, 0.2f}};
  for (const D3DXQUATERNION& raw : cases) {
    D3DXQUATERNION q, back;
    D3DXQuaternionNormalize(&q, &raw);
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    D3DXQuaternionRotationMatrix(&back, &m);
    // q and -q are the same rotation; compare after matching signs.
    const float sign = (back.x * q.x + back.y * q.y + back.z * q.z + back.w * q.w) < 0 ? -1.0f : 1.0f;
    ExpectQuatNear(D3DXQUATERNION(sign * back.x, sign * back.y, sign * back.z, sign * back.w), q.x, q.y, q.z, q.w);
  }
}

TEST(Quaternion, FromHalfTurnMatrices)
{
  // Half turns have trace -1, the case where w is zero.
  D3DXMATRIX m;
  D3DXQUATERNION q;
  D3DXMatrixRotationX(&m, D3DX_PI);
  D3DXQuaternionRotationMatrix(&q, &m);
  ExpectQuatNear(q, 1, 0, 0, 0);
  D3DXMatrixRotationY(&m, D3DX_PI);
  D3DXQuaternionRotationMatrix(&q, &m);
  ExpectQuatNear(q, 0, 1, 0, 0);
  D3DXMatrixRotationZ(&m, D3DX_PI);
  D3DXQuaternionRotationMatrix(&q, &m);
  ExpectQuatNear(q, 0, 0, 1, 0);
}

TEST(Quaternion, SlerpEndsAndMidpoint)
{
  const D3DXQUATERNION a(0, 0, 0, 1), b(0, kRootHalf, 0, kRootHalf);  // 0 and 90 degrees about y
  D3DXQUATERNION q;
  D3DXQuaternionSlerp(&q, &a, &b, 0.0f);
  ExpectQuatNear(q, 0, 0, 0, 1);
  D3DXQuaternionSlerp(&q, &a, &b, 1.0f);
  ExpectQuatNear(q, 0, kRootHalf, 0, kRootHalf);
  // Half way is 45 degrees: (0, sin 22.5, 0, cos 22.5).
  D3DXQuaternionSlerp(&q, &a, &b, 0.5f);
  ExpectQuatNear(q, 0, 0.382683f, 0, 0.923880f);
}

TEST(Quaternion, SlerpQuarterOfHalfTurn)
{
  // From identity to 180 about z, a quarter of the way is 45 degrees about z.
  const D3DXQUATERNION a(0, 0, 0, 1), b(0, 0, 1, 0);
  D3DXQUATERNION q;
  D3DXQuaternionSlerp(&q, &a, &b, 0.25f);
  ExpectQuatNear(q, 0, 0, 0.382683f, 0.923880f);
}

TEST(Quaternion, SlerpTakesShortestPath)
{
  // -b is the same 90 degree rotation; the midpoint must still be 45 degrees, not 135.
  const D3DXQUATERNION a(0, 0, 0, 1), negB(0, -kRootHalf, 0, -kRootHalf);
  D3DXQUATERNION q;
  D3DXQuaternionSlerp(&q, &a, &negB, 0.5f);
  ExpectQuatNear(q, 0, 0.382683f, 0, 0.923880f);
}

TEST(Quaternion, SlerpOfNearlyEqualStaysUnit)
{
  const D3DXVECTOR3 axis(0, 1, 0);
  D3DXQUATERNION a, b, q;
  D3DXQuaternionRotationAxis(&a, &axis, 0.5f);
  D3DXQuaternionRotationAxis(&b, &axis, 0.5001f);
  D3DXQuaternionSlerp(&q, &a, &b, 0.5f);
  // The midpoint turns 0.50005 radians, so its half angle is 0.250025.
  EXPECT_NEAR(q.y, std::sin(0.250025f), 1e-5f);
  EXPECT_NEAR(q.w, std::cos(0.250025f), 1e-5f);
  EXPECT_FALSE(std::isnan(q.x));
}

TEST(Quaternion, Normalize)
{
  const D3DXQUATERNION raw(1, 2, 2, 4);  // length 5
  D3DXQUATERNION q;
  D3DXQuaternionNormalize(&q, &raw);
  ExpectQuatNear(q, 0.2f, 0.4f, 0.4f, 0.8f);
  const D3DXQUATERNION zero(0, 0, 0, 0);
  D3DXQuaternionNormalize(&q, &zero);
  EXPECT_TRUE(q == zero);
}

// ---- planes ------------------------------------------------------------------------------

TEST(Plane, FromPointNormalAndDotCoord)
{
  const D3DXVECTOR3 point(1, 2, 3), normal(0, 1, 0);
  D3DXPLANE p;
  D3DXPlaneFromPointNormal(&p, &point, &normal);
  EXPECT_EQ(p.a, 0.0f);
  EXPECT_EQ(p.b, 1.0f);
  EXPECT_EQ(p.c, 0.0f);
  EXPECT_EQ(p.d, -2.0f);
  const D3DXVECTOR3 above(5, 7, 9), on(-4, 2, 8);
  EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&p, &above), 5.0f);
  EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&p, &on), 0.0f);
}

TEST(Plane, Normalize)
{
  const D3DXPLANE raw(0, 3, 4, 10);
  D3DXPLANE p;
  D3DXPlaneNormalize(&p, &raw);
  EXPECT_NEAR(p.a, 0.0f, kEps);
  EXPECT_NEAR(p.b, 0.6f, kEps);
  EXPECT_NEAR(p.c, 0.8f, kEps);
  EXPECT_NEAR(p.d, 2.0f, kEps);
  // (0, 3, 4) is 5 units along the normal, 2 more than the plane's offset -2.
  const D3DXVECTOR3 v(0, 3, 4);
  EXPECT_NEAR(D3DXPlaneDotCoord(&p, &v), 7.0f, kEps);
}

// ---- vectors ------------------------------------------------------------------------------

TEST(Vector, LengthDotCross)
{
  const D3DXVECTOR3 v(3, 4, 12);
  EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 13.0f);
  EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&v), 169.0f);
  const D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6);
  EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 32.0f);
  D3DXVECTOR3 c;
  D3DXVec3Cross(&c, &a, &b);
  ExpectVec3Near(c, -3, 6, -3);
  const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
  D3DXVec3Cross(&c, &x, &y);
  ExpectVec3Near(c, 0, 0, 1);
  // Into an operand.
  D3DXVECTOR3 d = a;
  D3DXVec3Cross(&d, &d, &b);
  ExpectVec3Near(d, -3, 6, -3);
}

TEST(Vector, NormalizeAndZero)
{
  const D3DXVECTOR3 v(3, 4, 12);
  D3DXVECTOR3 n;
  D3DXVec3Normalize(&n, &v);
  ExpectVec3Near(n, 3.0f / 13, 4.0f / 13, 12.0f / 13);
  const D3DXVECTOR3 zero(0, 0, 0);
  D3DXVec3Normalize(&n, &zero);
  EXPECT_TRUE(n == zero);
}

TEST(Vector, Lerp)
{
  const D3DXVECTOR3 a(0, 0, 0), b(10, -20, 30);
  D3DXVECTOR3 r;
  D3DXVec3Lerp(&r, &a, &b, 0.25f);
  ExpectVec3Near(r, 2.5f, -5, 7.5f);
  const D3DXVECTOR3 c(1, 1, 1);
  D3DXVec3Lerp(&r, &c, &b, 1.0f);
  ExpectVec3Near(r, 10, -20, 30);
}

TEST(Vector, TransformNormalIgnoresTranslation)
{
  D3DXMATRIX rz, t;
  D3DXMatrixRotationZ(&rz, D3DX_PI / 2);
  D3DXMatrixTranslation(&t, 5, 5, 5);
  const D3DXMATRIX m = rz * t;
  const D3DXVECTOR3 x(1, 0, 0);
  D3DXVECTOR3 r;
  D3DXVec3TransformNormal(&r, &x, &m);
  ExpectVec3Near(r, 0, 1, 0);
  D3DXVec3TransformCoord(&r, &x, &m);
  ExpectVec3Near(r, 5, 6, 5);
}

TEST(Vector, TransformCoordDividesByW)
{
  // A matrix that doubles w: (1,2,3) -> (1,2,3,2) -> (0.5, 1, 1.5).
  const D3DXMATRIX m(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2);
  const D3DXVECTOR3 v(1, 2, 3);
  D3DXVECTOR3 r;
  D3DXVec3TransformCoord(&r, &v, &m);
  ExpectVec3Near(r, 0.5f, 1, 1.5f);
  D3DXVECTOR4 r4;
  D3DXVec3Transform(&r4, &v, &m);
  EXPECT_TRUE(r4 == D3DXVECTOR4(1, 2, 3, 2));
}

TEST(Vector, Vec3TransformThroughPerspectiveKeepsW)
{
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
  const D3DXVECTOR3 v(1, 0, 10);
  D3DXVECTOR4 r;
  D3DXVec3Transform(&r, &v, &p);
  // w carries the view depth; z = 10 * 100/99 - 100/99 = 900/99.
  EXPECT_NEAR(r.w, 10.0f, kEps);
  EXPECT_NEAR(r.x, 1.0f, kEps);
  EXPECT_NEAR(r.z, 900.0f / 99.0f, 1e-4f);
}

TEST(Vector, Vec4Transform)
{
  D3DXMATRIX t;
  D3DXMatrixTranslation(&t, 1, 1, 1);
  const D3DXVECTOR4 v(1, 2, 3, 4);
  D3DXVECTOR4 r;
  D3DXVec4Transform(&r, &v, &t);
  EXPECT_TRUE(r == D3DXVECTOR4(5, 6, 7, 4));  // translation scaled by w
  D3DXVec4Transform(&r, &r, &t);
  EXPECT_TRUE(r == D3DXVECTOR4(9, 10, 11, 4));
}

TEST(Vector, Vec2LengthAndNormalize)
{
  const D3DXVECTOR2 v(3, 4);
  EXPECT_FLOAT_EQ(D3DXVec2Length(&v), 5.0f);
  D3DXVECTOR2 n;
  D3DXVec2Normalize(&n, &v);
  EXPECT_NEAR(n.x, 0.6f, kEps);
  EXPECT_NEAR(n.y, 0.8f, kEps);
  const D3DXVECTOR2 zero(0, 0);
  D3DXVec2Normalize(&n, &zero);
  EXPECT_TRUE(n == zero);
}

// ---- colours ------------------------------------------------------------------------------

TEST(Color, FromPackedArgb)
{
  const D3DXCOLOR c(0x80FF4000u);
  EXPECT_NEAR(c.a, 128.0f / 255.0f, kEps);
  EXPECT_NEAR(c.r, 1.0f, kEps);
  EXPECT_NEAR(c.g, 64.0f / 255.0f, kEps);
  EXPECT_NEAR(c.b, 0.0f, kEps);
  EXPECT_EQ(static_cast<DWORD>(c), 0x80FF4000u);
}

TEST(Color, ToPackedClampsAndRounds)
{
  // r above 1 clamps to ff, g below 0 to 00, b 0.5 rounds to 0x80, a 1 is ff.
  const D3DXCOLOR c(1.5f, -0.2f, 0.5f, 1.0f);
  EXPECT_EQ(static_cast<DWORD>(c), 0xFFFF0080u);
  const D3DXCOLOR dark(0.002f, 0.0f, 0.0f, 0.0f);  // 0.51 rounds to 1
  EXPECT_EQ(static_cast<DWORD>(dark), 0x00010000u);
}
