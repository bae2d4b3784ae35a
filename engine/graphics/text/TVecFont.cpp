#include "engine/graphics/text/TVecFont.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/LittleEndian.h"
#include "engine/graphics/text/MvecFormat.h"
#include "engine/graphics/vector/TOutlineCommand.h"

#include <algorithm>
#include <cstring>

TVecFont::TVecFont(std::vector<uint8_t> image, const TString& name) : mData(std::move(image))
{
    mByteGlyphs.fill(-1);
    if (!Read(name)) {
        mCodes.clear();
        mOutlineOffsets.clear();
        mOutlineSizes.clear();
        return;
    }
    ComputeMetrics();
}

bool TVecFont::Read(const TString& name)
{
    using namespace MvecFormat;
    const auto refuse = [&](const char* cause) {
        TraceLog(kRefusedLog, name.CStr(), cause);
        return false;
    };
    if (mData.size() < kHeaderSize || std::memcmp(mData.data(), kMagic, sizeof kMagic) != 0)
        return refuse("not a vector font");
    const size_t count = ReadLE16(&mData[4]);
    const size_t outlinesAt = kHeaderSize + kRecordSize * count;
    if (outlinesAt > mData.size())
        return refuse("glyph table beyond the end of the file");
    mCodes.resize(count);
    mOutlineOffsets.resize(count);
    mOutlineSizes.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* record = &mData[kHeaderSize + kRecordSize * i];
        mCodes[i] = ReadLE32(record + kCode);
        if (i > 0 && mCodes[i] <= mCodes[i - 1])
            return refuse("glyph codes out of order");
        const uint32_t offset = ReadLE32(record + kOutlineOffset);
        if (offset < outlinesAt || offset >= mData.size())
            return refuse("glyph outline outside the file");
        mOutlineOffsets[i] = offset;
        mOutlineSizes[i] =
            static_cast<uint32_t>(MeasureOutline(&mData[offset], mData.size() - offset));
    }
    for (size_t i = 0; i < count && mCodes[i] < mByteGlyphs.size(); ++i)
        mByteGlyphs[mCodes[i]] = static_cast<int32_t>(i);
    return true;
}

float TVecFont::Metric(int glyph, size_t field) const
{
    if (glyph < 0 || glyph >= GetGlyphCount())
        return 0.0f;
    const uint8_t* record =
        &mData[MvecFormat::kHeaderSize + MvecFormat::kRecordSize * static_cast<size_t>(glyph)];
    return static_cast<float>(static_cast<int16_t>(ReadLE16(record + field))) *
           MvecFormat::kUnitsPerValue;
}

void TVecFont::ComputeMetrics()
{
    const int w = FindGlyph('W');
    float deepest = 0.0f;
    float highest = 0.0f;
    for (int glyph = 0; glyph < GetGlyphCount() && mCodes[static_cast<size_t>(glyph)] < 128;
         ++glyph) {
        if (mCodes[static_cast<size_t>(glyph)] != '_')
            deepest = std::max(deepest, Metric(glyph, MvecFormat::kYMax));
        highest = std::max(highest, -Metric(glyph, MvecFormat::kYMin));
    }
    // Without a "W", the tallest ASCII glyph stands for it.
    mAscent = w >= 0 ? -Metric(w, MvecFormat::kYMin) : highest;
    mDescent = deepest;

    const float topRoom = mAscent + GetCellPadding(true);
    const float bottomRoom = mDescent + GetCellPadding(false);
    mCellScales.resize(mCodes.size());
    for (int glyph = 0; glyph < GetGlyphCount(); ++glyph) {
        const float top = -Metric(glyph, MvecFormat::kYMin);
        const float bottom = Metric(glyph, MvecFormat::kYMax);
        const float topRatio = topRoom > 0.0f ? top / topRoom : 0.0f;
        const float bottomRatio = bottomRoom > 0.0f ? bottom / bottomRoom : 0.0f;
        const float larger = std::max(topRatio, bottomRatio);
        mCellScales[static_cast<size_t>(glyph)] = larger > 1.0f ? 1.0f / larger : 1.0f;
    }
}

int TVecFont::FindGlyph(uint32_t code) const
{
    if (code < mByteGlyphs.size())
        return mByteGlyphs[code];
    const auto found = std::lower_bound(mCodes.begin(), mCodes.end(), code);
    if (found == mCodes.end() || *found != code)
        return -1;
    return static_cast<int>(found - mCodes.begin());
}

float TVecFont::GetAdvance(int glyph) const
{
    return Metric(glyph, MvecFormat::kAdvance);
}

float TVecFont::GetXMin(int glyph) const
{
    return Metric(glyph, MvecFormat::kXMin);
}

float TVecFont::GetXMax(int glyph) const
{
    return Metric(glyph, MvecFormat::kXMax);
}

const uint8_t* TVecFont::GetGlyphData(int glyph) const
{
    if (glyph < 0 || glyph >= GetGlyphCount())
        return nullptr;
    return &mData[mOutlineOffsets[static_cast<size_t>(glyph)]];
}

size_t TVecFont::GetGlyphDataSize(int glyph) const
{
    if (glyph < 0 || glyph >= GetGlyphCount())
        return 0;
    return mOutlineSizes[static_cast<size_t>(glyph)];
}

float TVecFont::GetGlyphScale(int glyph) const
{
    if (glyph < 0 || glyph >= GetGlyphCount())
        return 1.0f;
    return mCellScales[static_cast<size_t>(glyph)];
}

float TVecFont::GetCellPadding(bool top) const
{
    return (mAscent + mDescent) * (top ? kTopShare : kBottomShare) / kGlyphShare;
}
