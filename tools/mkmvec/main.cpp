// Converts an outline font (TrueType or CFF, read through FreeType) into our ".mvec"
// vector font format: a content tool; the engine itself never reads outline fonts.
//
// Every point is scaled to an em of 64 font units and stored x 128 with y pointing down,
// which keeps 2048-unit TrueType coordinates exact (x 4). Contours are closed explicitly.
// Our rasteriser fills with the even-odd rule where TrueType fills with the nonzero rule,
// so each glyph of several contours is rendered both ways by FreeType; a composite glyph
// whose two renderings differ (overlapping components, such as the cedilla under C) is
// written with each component in a fill layer of its own, which the rasteriser unites.
// A simple glyph that differs is reported and left out.
//
// usage: mkmvec [--codes LIST] FONTFILE OUT.mvec
//   LIST: comma-separated code points and ranges, decimal or 0x hexadecimal
//         (default: the built-in font's coverage and the extra letters of cp1252)
#include "engine/graphics/vector/TOutlineBuilder.h"
#include "tools/mkmvec/writer/MvecWriter.h"
#include "tools/support/InputLimits.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"
#include "tools/support/ToolOptions.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kTool = "mkmvec";
constexpr const char* kDefaultCodes =
    "0x20-0x7e,0xa1-0xff,0x152,0x153,0x160,0x161,0x178,0x17d,0x17e,0x192,0x2c6,0x2dc,"
    "0x200e-0x2027,0x202a-0x206f,0x20a0-0x20cf,0x2100-0x2183";
constexpr double kEm = 64.0;
constexpr double kValuesPerUnit = 128.0;

constexpr int64_t kLastCode = 0x10FFFF;

// A code point, decimal or 0x hexadecimal, without a sign.
bool ParseCode(const std::string& text, uint32_t& code)
{
    int64_t value = 0;
    if (!ParseWholeNumber(text.c_str(), 0, kLastCode, value))
        return false;
    code = static_cast<uint32_t>(value);
    return true;
}

// LIST: items separated by commas, each a code point or a range FIRST-LAST. False when an
// item is neither, or a range runs backwards.
bool ParseCodes(const std::string& list, std::vector<uint32_t>& codes)
{
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string item = list.substr(start, end - start);
        start = end + 1;
        const size_t dash = item.find('-');
        uint32_t first = 0;
        uint32_t last = 0;
        if (!ParseCode(item.substr(0, dash), first))
            return false;
        last = first;
        if (dash != std::string::npos && (!ParseCode(item.substr(dash + 1), last) || last < first))
            return false;
        for (uint32_t code = first; code <= last; ++code)
            codes.push_back(code);
    }
    return true;
}

// Emits FreeType outlines (in font units) as outline commands.
class TOutlineWriter
{
public:
    explicit TOutlineWriter(double scale) : mScale(scale) {}

    bool Write(FT_Outline& outline, TOutlineBuilder& out)
    {
        FT_Outline_Funcs funcs{};
        funcs.move_to = &MoveTo;
        funcs.line_to = &LineTo;
        funcs.conic_to = &ConicTo;
        funcs.cubic_to = &CubicTo;
        mOut = &out;
        mOpen = false;
        const bool ok = FT_Outline_Decompose(&outline, &funcs, this) == 0;
        Close();
        return ok && !mTooLarge;
    }

    int GetLargest() const { return mLargest; }
    bool IsTooLarge() const { return mTooLarge; }

    int ValueX(double x) { return Checked(std::lround(x * mScale)); }
    int ValueY(double y) { return Checked(std::lround(-y * mScale)); }

private:
    struct TPoint
    {
        int x = 0;
        int y = 0;
        bool operator!=(const TPoint& other) const { return x != other.x || y != other.y; }
    };

    int Checked(long value)
    {
        const long magnitude = std::labs(value);
        if (magnitude > 32767)
            mTooLarge = true;
        if (magnitude > mLargest)
            mLargest = static_cast<int>(magnitude);
        return static_cast<int>(value);
    }

    TPoint Convert(const FT_Vector* v) { return {ValueX(double(v->x)), ValueY(double(v->y))}; }

    // An open contour breaks the even-odd fill: go back to its start.
    void Close()
    {
        if (mOpen && mPen != mStart)
            mOut->LineTo(mStart.x, mStart.y);
        mOpen = false;
    }

    static int MoveTo(const FT_Vector* to, void* user)
    {
        auto* self = static_cast<TOutlineWriter*>(user);
        self->Close();
        self->mStart = self->mPen = self->Convert(to);
        self->mPenUnits = *to;
        self->mOut->MoveTo(self->mPen.x, self->mPen.y);
        self->mOpen = true;
        return 0;
    }

    static int LineTo(const FT_Vector* to, void* user)
    {
        auto* self = static_cast<TOutlineWriter*>(user);
        self->mPen = self->Convert(to);
        self->mPenUnits = *to;
        self->mOut->LineTo(self->mPen.x, self->mPen.y);
        return 0;
    }

    static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
    {
        auto* self = static_cast<TOutlineWriter*>(user);
        const TPoint c = self->Convert(control);
        self->mPen = self->Convert(to);
        self->mPenUnits = *to;
        self->mOut->QuadTo(c.x, c.y, self->mPen.x, self->mPen.y);
        return 0;
    }

    // Cubic curves (CFF fonts) become two quadratics, one per half of the curve.
    static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
    {
        auto* self = static_cast<TOutlineWriter*>(user);
        const double p0x = self->mPenUnits.x, p0y = self->mPenUnits.y;
        const double mid01x = (p0x + c1->x) / 2, mid01y = (p0y + c1->y) / 2;
        const double mid12x = (double(c1->x) + c2->x) / 2, mid12y = (double(c1->y) + c2->y) / 2;
        const double mid23x = (double(c2->x) + to->x) / 2, mid23y = (double(c2->y) + to->y) / 2;
        const double ax = (mid01x + mid12x) / 2, ay = (mid01y + mid12y) / 2;
        const double bx = (mid12x + mid23x) / 2, by = (mid12y + mid23y) / 2;
        const double mx = (ax + bx) / 2, my = (ay + by) / 2;
        // Each half (p0, mid01, a, m) and (m, b, mid23, p3) by the quadratic whose
        // control is (3 (c1 + c2) - (p0 + p3)) / 4.
        const double q1x = (3 * (mid01x + ax) - (p0x + mx)) / 4;
        const double q1y = (3 * (mid01y + ay) - (p0y + my)) / 4;
        const double q2x = (3 * (bx + mid23x) - (mx + to->x)) / 4;
        const double q2y = (3 * (by + mid23y) - (my + to->y)) / 4;
        self->mOut->QuadTo(self->ValueX(q1x), self->ValueY(q1y), self->ValueX(mx),
                           self->ValueY(my));
        self->mPen = self->Convert(to);
        self->mPenUnits = *to;
        self->mOut->QuadTo(self->ValueX(q2x), self->ValueY(q2y), self->mPen.x, self->mPen.y);
        return 0;
    }

    double mScale;
    TOutlineBuilder* mOut = nullptr;
    TPoint mPen;
    TPoint mStart;
    FT_Vector mPenUnits{};
    bool mOpen = false;
    bool mTooLarge = false;
    int mLargest = 0;
};

// Whether FreeType fills outline differently with the even-odd and the nonzero rule.
bool FillRulesDiffer(FT_Library library, const FT_Outline& source)
{
    FT_Outline copy;
    if (FT_Outline_New(library, static_cast<FT_UInt>(source.n_points), source.n_contours, &copy) !=
        0)
        return false;
    FT_Outline_Copy(&source, &copy);
    FT_Matrix twice{2 << 16, 0, 0, 2 << 16};
    FT_Outline_Transform(&copy, &twice);
    FT_BBox box;
    FT_Outline_Get_CBox(&copy, &box);
    FT_Outline_Translate(&copy, -box.xMin + 64, -box.yMin + 64);
    const unsigned width = static_cast<unsigned>((box.xMax - box.xMin) / 64 + 3);
    const unsigned rows = static_cast<unsigned>((box.yMax - box.yMin) / 64 + 3);
    std::vector<unsigned char> images[2];
    for (int evenOdd = 0; evenOdd < 2; ++evenOdd) {
        images[evenOdd].assign(size_t(width) * rows, 0);
        FT_Bitmap bitmap{};
        bitmap.rows = rows;
        bitmap.width = width;
        bitmap.pitch = static_cast<int>(width);
        bitmap.buffer = images[evenOdd].data();
        bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
        bitmap.num_grays = 256;
        if (evenOdd)
            copy.flags |= FT_OUTLINE_EVEN_ODD_FILL;
        else
            copy.flags &= ~FT_OUTLINE_EVEN_ODD_FILL;
        FT_Outline_Get_Bitmap(library, &copy, &bitmap);
    }
    FT_Outline_Done(library, &copy);
    for (size_t i = 0; i < images[0].size(); ++i)
        if (std::abs(int(images[0][i]) - int(images[1][i])) > 32)
            return true;
    return false;
}

class TConverter
{
public:
    TConverter(FT_Library library, FT_Face face)
        : mLibrary(library), mFace(face), mWriter(kEm / face->units_per_EM * kValuesPerUnit)
    {
    }

    // False for a glyph that cannot be written (reported).
    bool Convert(uint32_t code, FT_UInt index, TMvecGlyph& glyph)
    {
        const FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
        if (FT_Load_Glyph(mFace, index, flags) != 0 ||
            mFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
            std::fprintf(stderr, "%s: U+%04X: cannot load its outline\n", kTool, code);
            return false;
        }
        FT_Outline& outline = mFace->glyph->outline;
        glyph.code = code;
        glyph.advance =
            static_cast<int16_t>(mWriter.ValueX(double(mFace->glyph->metrics.horiAdvance)));
        if (outline.n_points > 0) {
            FT_BBox box;
            FT_Outline_Get_CBox(&outline, &box);
            glyph.xMin = static_cast<int16_t>(mWriter.ValueX(double(box.xMin)));
            glyph.xMax = static_cast<int16_t>(mWriter.ValueX(double(box.xMax)));
            glyph.yMin = static_cast<int16_t>(mWriter.ValueY(double(box.yMax)));
            glyph.yMax = static_cast<int16_t>(mWriter.ValueY(double(box.yMin)));
        }
        TOutlineBuilder out;
        out.FillSlot(1);
        bool ok = true;
        if (outline.n_contours > 1 && FillRulesDiffer(mLibrary, outline)) {
            ok = WriteComponents(code, index, out);
        } else {
            ok = mWriter.Write(outline, out);
        }
        if (mWriter.IsTooLarge()) {
            std::fprintf(stderr, "%s: U+%04X: a coordinate does not fit 16 bits\n", kTool, code);
            return false;
        }
        glyph.outline = out.End().Take();
        return ok;
    }

    int GetLargest() const { return mWriter.GetLargest(); }
    const std::string& GetSplit() const { return mSplit; }

private:
    bool WriteComponents(uint32_t code, FT_UInt index, TOutlineBuilder& out)
    {
        const FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
        if (FT_Load_Glyph(mFace, index, flags | FT_LOAD_NO_RECURSE) != 0 ||
            mFace->glyph->format != FT_GLYPH_FORMAT_COMPOSITE) {
            std::fprintf(stderr, "%s: U+%04X: overlapping contours in a simple glyph; left out\n",
                         kTool, code);
            return false;
        }
        struct TComponent
        {
            FT_Int index;
            FT_UInt flags;
            FT_Int x, y;
            FT_Matrix transform;
        };
        std::vector<TComponent> components(mFace->glyph->num_subglyphs);
        for (FT_UInt i = 0; i < components.size(); ++i) {
            TComponent& c = components[i];
            FT_Get_SubGlyph_Info(mFace->glyph, i, &c.index, &c.flags, &c.x, &c.y, &c.transform);
            if ((c.flags & FT_SUBGLYPH_FLAG_ARGS_ARE_XY_VALUES) == 0) {
                std::fprintf(stderr, "%s: U+%04X: components placed by points; left out\n", kTool,
                             code);
                return false;
            }
        }
        for (size_t i = 0; i < components.size(); ++i) {
            const TComponent& c = components[i];
            if (FT_Load_Glyph(mFace, static_cast<FT_UInt>(c.index), flags) != 0)
                return false;
            FT_Outline& part = mFace->glyph->outline;
            if ((c.flags &
                 (FT_SUBGLYPH_FLAG_SCALE | FT_SUBGLYPH_FLAG_XY_SCALE | FT_SUBGLYPH_FLAG_2X2)) != 0)
                FT_Outline_Transform(&part, &c.transform);
            FT_Outline_Translate(&part, c.x, c.y);
            if (i > 0)
                out.NewLayer().FillSlot(1);
            if (!mWriter.Write(part, out))
                return false;
        }
        char name[16];
        std::snprintf(name, sizeof name, " U+%04X", code);
        mSplit += name;
        return true;
    }

    FT_Library mLibrary;
    FT_Face mFace;
    TOutlineWriter mWriter;
    std::string mSplit;
};

const TToolHelp kHelp{
    kTool, "[--codes LIST] FONTFILE OUT.mvec",
    "Converts an outline font (TrueType, CFF) into a vector font of the engine, and says which "
    "codes the font lacks.",
    "  --codes LIST        code points and ranges from 0 to 0x10ffff, decimal or 0x\n"
    "                      hexadecimal, such as 0x20-0x7e,0xe9 (default: the built-in\n"
    "                      font's and the extra letters of cp1252)\n"};

int Convert(int argc, char** argv)
{
    const char* codeList = kDefaultCodes;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--codes") == 0 && i + 1 < argc)
            codeList = argv[++i];
        else
            files.push_back(argv[i]);
    }
    if (files.size() != 2)
        return UsageError(kHelp);
    std::vector<uint32_t> codes;
    if (!ParseCodes(codeList, codes)) {
        std::fprintf(stderr,
                     "%s: --codes must list code points from 0 to 0x10ffff and ranges of them "
                     "(such as 0x20-0x7e,0xe9), not \"%s\"\n",
                     kTool, codeList);
        return 2;
    }
    std::string fontFile;
    if (!ReadInputFile(kTool, files[0], kMaxOutlineFontBytes, fontFile))
        return 1;

    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "%s: cannot start FreeType\n", kTool);
        return 1;
    }
    if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(fontFile.data()),
                           static_cast<FT_Long>(fontFile.size()), 0, &face) != 0 ||
        FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 || face->units_per_EM == 0) {
        std::fprintf(stderr, "%s: cannot read %s: not an outline font with a Unicode map\n", kTool,
                     files[0]);
        FT_Done_FreeType(library);
        return 1;
    }

    TConverter converter(library, face);
    std::vector<TMvecGlyph> glyphs;
    std::string missing;
    bool ok = true;
    for (const uint32_t code : codes) {
        const FT_UInt index = FT_Get_Char_Index(face, code);
        if (index == 0) {
            char name[16];
            std::snprintf(name, sizeof name, " U+%04X", code);
            missing += name;
            continue;
        }
        TMvecGlyph glyph;
        if (converter.Convert(code, index, glyph))
            glyphs.push_back(std::move(glyph));
        else
            ok = false;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!ok)
        return 1;
    if (glyphs.empty()) {
        std::fprintf(stderr, "%s: %s has none of the codes asked for; nothing written\n", kTool,
                     files[0]);
        return 1;
    }

    const size_t count = glyphs.size();
    std::vector<uint8_t> image;
    std::string reason;
    if (!BuildMvecImage(std::move(glyphs), image, reason)) {
        std::fprintf(stderr, "%s: %s\n", kTool, reason.c_str());
        return 1;
    }
    if (!WriteOutputFile(kTool, files[1], std::string(image.begin(), image.end())))
        return 1;
    std::printf("%s: %s: %zu glyphs, %zu bytes, largest value %d\n", kTool, files[1], count,
                image.size(), converter.GetLargest());
    std::printf("%s: split into layers:%s\n", kTool,
                converter.GetSplit().empty() ? " none" : converter.GetSplit().c_str());
    std::printf("%s: not in the font:%s\n", kTool, missing.empty() ? " none" : missing.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Convert);
}
