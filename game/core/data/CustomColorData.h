#pragma once

// One dress part's colours in the player's progress record: a 4 x 5 colour matrix (rows
// red, green, blue, alpha, each four weights and an offset) and the base name of the
// chosen variant's texture. Its 116 bytes inside the record:
//
//   offset  size  content
//        0     4  unused: written as 0, never read
//        4    80  float32[4][5], row by row
//       84    30  texture base name, 8-bit characters, zero-terminated (at most 29)
//      114     2  padding: written as 0, never read
//
// Copies carry the matrix and the name only.

#include "engine/foundation/core/TString.h"

#include <array>
#include <cstddef>

namespace YOLT::Core {

class CustomColorData
{
public:
    static constexpr int kRows = 4;
    static constexpr int kColumns = 5;
    static constexpr size_t kNameSize = 30;
    static constexpr size_t kSize = 116;

    using Matrix = std::array<std::array<float, kColumns>, kRows>;

    // The identity matrix and no texture name.
    CustomColorData();

    const Matrix& GetMatrix() const { return mMatrix; }
    void SetMatrix(const Matrix& matrix) { mMatrix = matrix; }

    // The name up to its first zero byte, at most kNameSize - 1 characters.
    TString GetTextureName() const;
    // Keeps the first kNameSize - 1 characters of name.
    void SetTextureName(const TString& name);

    bool operator==(const CustomColorData& other) const = default;

    // The layout above, walked by a RecordWriter or RecordReader.
    template <class TSelf, class TIo> static void Transfer(TSelf& self, TIo& io)
    {
        io.Padding(4);
        for (auto& row : self.mMatrix)
            io.Field(row);
        io.Field(self.mTextureName);
        io.Padding(2);
    }

private:
    Matrix mMatrix;
    std::array<char, kNameSize> mTextureName{};
};

} // namespace YOLT::Core
