// The D3DX math the game uses: vectors, matrices, quaternions and planes with D3DX's
// row-vector, left-handed conventions (v' = v * M; translation in row 4).
// Declarations only here; d3dx9math.cpp implements them from D3DX's documented formulas.
#pragma once

#include "windows.h"

#define D3DX_PI 3.141592654f

struct D3DVECTOR {
  float x, y, z;
};
struct D3DCOLORVALUE {
  float r, g, b, a;
};
struct D3DMATRIX {
  union {
    struct {
      float _11, _12, _13, _14;
      float _21, _22, _23, _24;
      float _31, _32, _33, _34;
      float _41, _42, _43, _44;
    };
    float m[4][4];
  };
};

struct D3DXVECTOR2 {
  float x, y;
  D3DXVECTOR2() = default;
  D3DXVECTOR2(float x_, float y_) : x(x_), y(y_) {}
  D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return {x + v.x, y + v.y}; }
  D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return {x - v.x, y - v.y}; }
  D3DXVECTOR2 operator*(float s) const { return {x * s, y * s}; }
  bool operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
};

struct D3DXVECTOR3 : public D3DVECTOR {
  D3DXVECTOR3() = default;
  D3DXVECTOR3(float x_, float y_, float z_)
  {
    x = x_;
    y = y_;
    z = z_;
  }
  D3DXVECTOR3(const D3DVECTOR& v)
  {
    x = v.x;
    y = v.y;
    z = v.z;
  }
  explicit D3DXVECTOR3(const float* f)
  {
    x = f[0];
    y = f[1];
    z = f[2];
  }
  operator float*() { return &x; }
  operator const float*() const { return &x; }
  D3DXVECTOR3& operator+=(const D3DXVECTOR3& v)
  {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
  }
  D3DXVECTOR3& operator-=(const D3DXVECTOR3& v)
  {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
  }
  D3DXVECTOR3& operator*=(float s)
  {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  D3DXVECTOR3& operator/=(float s)
  {
    x /= s;
    y /= s;
    z /= s;
    return *this;
  }
  D3DXVECTOR3 operator+() const { return *this; }
  D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
  D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return {x + v.x, y + v.y, z + v.z}; }
  D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return {x - v.x, y - v.y, z - v.z}; }
  D3DXVECTOR3 operator*(float s) const { return {x * s, y * s, z * s}; }
  D3DXVECTOR3 operator/(float s) const { return {x / s, y / s, z / s}; }
  friend D3DXVECTOR3 operator*(float s, const D3DXVECTOR3& v) { return v * s; }
  bool operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
  bool operator!=(const D3DXVECTOR3& v) const { return !(*this == v); }
};

struct D3DXVECTOR4 {
  float x, y, z, w;
  D3DXVECTOR4() = default;
  D3DXVECTOR4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  operator float*() { return &x; }
  operator const float*() const { return &x; }
  bool operator==(const D3DXVECTOR4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
};

struct D3DXMATRIX : public D3DMATRIX {
  D3DXMATRIX() = default;
  D3DXMATRIX(const D3DMATRIX& mat) : D3DMATRIX(mat) {}
  explicit D3DXMATRIX(const float* f);
  D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24, float f31,
             float f32, float f33, float f34, float f41, float f42, float f43, float f44);
  float& operator()(UINT row, UINT col) { return m[row][col]; }
  float operator()(UINT row, UINT col) const { return m[row][col]; }
  operator float*() { return &_11; }
  operator const float*() const { return &_11; }
  D3DXMATRIX& operator*=(const D3DXMATRIX& mat);
  D3DXMATRIX operator*(const D3DXMATRIX& mat) const;
  bool operator==(const D3DXMATRIX& mat) const;
  bool operator!=(const D3DXMATRIX& mat) const { return !(*this == mat); }
};

struct D3DXQUATERNION {
  float x, y, z, w;
  D3DXQUATERNION() = default;
  D3DXQUATERNION(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  bool operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
};

struct D3DXPLANE {
  float a, b, c, d;
  D3DXPLANE() = default;
  D3DXPLANE(float a_, float b_, float c_, float d_) : a(a_), b(b_), c(c_), d(d_) {}
};

struct D3DXCOLOR {
  float r, g, b, a;
  D3DXCOLOR() = default;
  D3DXCOLOR(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
  D3DXCOLOR(DWORD argb);
  operator DWORD() const;
};

// ---- matrices ------------------------------------------------------------------
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at, const D3DXVECTOR3* up);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf);
D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane);

// ---- quaternions -----------------------------------------------------------------
D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out);
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m);
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle);
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll);
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* a, const D3DXQUATERNION* b, float t);
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q);
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* a, const D3DXQUATERNION* b);

// ---- planes -------------------------------------------------------------------------
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal);
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v);

// ---- vectors -----------------------------------------------------------------------
float D3DXVec3Length(const D3DXVECTOR3* v);
float D3DXVec3LengthSq(const D3DXVECTOR3* v);
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float t);
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m);
float D3DXVec2Length(const D3DXVECTOR2* v);
D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v);
