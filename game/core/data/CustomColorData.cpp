#include "game/core/data/CustomColorData.h"

#include <algorithm>
#include <cstring>

namespace YOLT::Core {

CustomColorData::CustomColorData()
{
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            mMatrix[row][column] = row == column ? 1.0f : 0.0f;
}

TString CustomColorData::GetTextureName() const
{
    const size_t length = strnlen(mTextureName.data(), kNameSize - 1);
    return TString(mTextureName.data(), static_cast<int>(length));
}

void CustomColorData::SetTextureName(const TString& name)
{
    mTextureName.fill(0);
    const size_t length = std::min(static_cast<size_t>(name.Length()), kNameSize - 1);
    std::memcpy(mTextureName.data(), name.CStr(), length);
}

} // namespace YOLT::Core
