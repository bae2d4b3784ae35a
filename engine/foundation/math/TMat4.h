#pragma once

// The 4 x 4 float matrix of the display's projections, rows of TVec4, in the same
// row-vector convention as TMat3.

#include "engine/foundation/math/TVec2.h"
#include "engine/foundation/math/TVec4.h"

class TMat4
{
public:
    TMat4(); // identity

    // Rows and elements; row and col must be 0..3.
    TVec4& Row(int row) { return mRows[row]; }
    const TVec4& Row(int row) const { return mRows[row]; }
    float& At(int row, int col);
    float At(int row, int col) const;

    // A left-handed perspective projection with depth 0..1 between zNear and zFar.
    // fov is the vertical field of view in radians; aspect scales x. centre shifts the
    // vanishing point within -1..1; a centre coordinate of exactly +-1 puts -10000 in
    // its element.
    void SetPerspective(float zNear, float zFar, float fov, float aspect, const TVec2& centre);

private:
    TVec4 mRows[4];
};
