#pragma once

// The 3 x 3 float matrix of every 2D transform (sprites, windows, entities), in the
// row-vector convention: a point is a row vector multiplied from the left, so the point
// (x, y) maps to (x*m00 + y*m10 + m20, x*m01 + y*m11 + m21). Rows 0 and 1 hold the
// linear part, row 2 the translation; the third column stays (0, 0, 1) for affine use.

#include "engine/foundation/math/TVec2.h"
#include "engine/foundation/math/TVec3.h"

class TMat3
{
public:
    TMat3(); // identity
    TMat3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
          float m22);

    // Rows and elements; row and col must be 0..2.
    TVec3& Row(int row) { return mRows[row]; }
    const TVec3& Row(int row) const { return mRows[row]; }
    float& At(int row, int col);
    float At(int row, int col) const;

    TMat3& operator*=(const TMat3& m); // this = this x m

    // The rotation by angle radians: rows (cos, sin, 0), (-sin, cos, 0), (0, 0, 1).
    static TMat3 Rotation(float angle);
    // These change the 2 x 2 linear part only and keep the translation row.
    void Rotate(float angle);
    void Scale(float sx, float sy);
    void ScaleUniform(float s);

private:
    TVec3 mRows[3];
};

// Row vector x matrix.
TVec3 operator*(const TVec3& v, const TMat3& m);
// The affine point mapping.
TVec2 operator*(const TVec2& p, const TMat3& m);
TMat3 operator*(const TMat3& a, const TMat3& b);

// The upper-left 2 x 2 blocks of a and b multiplied, column 2 of rows 0 and 1 set to 0,
// and row 2 copied from a, so that a's translation stays.
TMat3 MultiplyLinear2x2(const TMat3& a, const TMat3& b);
