#include "engine/graphics/image/PngImage.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/TDecodedImage.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

namespace {

constexpr double kDisplayGamma = 2.2;

// Everything one read or write needs, reachable from libpng's callbacks. It lives in
// the frame of the public function, outside the frame that libpng jumps back to.
struct TPngJob
{
    const char* path = "";
    int maxSide = TDecodedImage::kMaxSide;
    TFile* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_bytep> rows;
    char message[256] = "";
};

TPngJob* JobOf(png_structp png)
{
    return static_cast<TPngJob*>(png_get_error_ptr(png));
}

// libpng's error function must not return: it records the message and jumps back into
// the Run function that is running.
[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    std::snprintf(JobOf(png)->message, sizeof JobOf(png)->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message)
{
    TraceLog(kImageFailedLog, JobOf(png)->path, message);
}

void OnRead(png_structp png, png_bytep data, size_t length)
{
    if (FileRead(data, 1, length, JobOf(png)->file) != length)
        png_error(png, "Read Error");
}

void OnWrite(png_structp png, png_bytep data, size_t length)
{
    if (FileWrite(data, 1, length, JobOf(png)->file) != length)
        png_error(png, "Write Error");
}

void OnFlush(png_structp) {}

bool MakeRowTable(TPngJob* job, size_t count)
{
    try {
        job->rows.assign(count, nullptr);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void SetReadTransforms(png_structp png, png_infop info, int bitDepth, int colorType)
{
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_expand(png);
    if (bitDepth < 8)
        png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_expand(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_bgr(png);
    double fileGamma = 0.0;
    if (png_get_gAMA(png, info, &fileGamma))
        png_set_gamma(png, kDisplayGamma, fileGamma);
    png_set_interlace_handling(png);
}

// NOTE: libpng leaves by a jump back to the setjmp below on any error. Only plain
// values live in this frame and none is read after the jump; what must survive it is
// in job and image, which belong to the caller.
bool RunRead(TPngJob* job, TDecodedImage* image)
{
    if (setjmp(png_jmpbuf(job->png)))
        return false;
    png_set_read_fn(job->png, job, OnRead);
    png_set_sig_bytes(job->png, 8);
    png_read_info(job->png, job->info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(job->png, job->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr,
                 nullptr);
    if (width > png_uint_32(job->maxSide) || height > png_uint_32(job->maxSide)) {
        std::snprintf(job->message, sizeof job->message, "%ux%u is larger than %d", unsigned(width),
                      unsigned(height), job->maxSide);
        return false;
    }
    if (TDecodedImage::SquareSideFor(width, height) == 0)
        png_error(job->png, "image too large");
    SetReadTransforms(job->png, job->info, bitDepth, colorType);
    png_read_update_info(job->png, job->info);
    const int updatedType = png_get_color_type(job->png, job->info);
    const bool hasAlpha = colorType == PNG_COLOR_TYPE_PALETTE
                              ? updatedType == PNG_COLOR_TYPE_RGB_ALPHA
                              : (colorType & PNG_COLOR_MASK_ALPHA) != 0;
    if (png_get_bit_depth(job->png, job->info) != 8 || png_get_channels(job->png, job->info) != 4 ||
        png_get_rowbytes(job->png, job->info) != size_t(width) * 4)
        png_error(job->png, "unexpected pixel layout after conversion");
    if (!image->Allocate(width, height) || !MakeRowTable(job, height))
        png_error(job->png, "Visual PNG: out of memory");
    image->SetHasAlpha(hasAlpha);
    for (png_uint_32 y = 0; y < height; ++y)
        job->rows[y] = reinterpret_cast<png_bytep>(image->Row(static_cast<int>(y)));
    png_read_image(job->png, job->rows.data());
    png_read_end(job->png, nullptr);
    return true;
}

// NOTE: as for RunRead.
bool RunWrite(TPngJob* job, const uint32_t* pixels, int width, int height, int stride)
{
    if (setjmp(png_jmpbuf(job->png)))
        return false;
    png_set_write_fn(job->png, job, OnWrite, OnFlush);
    png_set_IHDR(job->png, job->info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(job->png, job->info);
    png_set_bgr(job->png);
    if (!MakeRowTable(job, height))
        png_error(job->png, "Visualpng: Out of memory");
    const png_byte* base = reinterpret_cast<const png_byte*>(pixels);
    for (int y = 0; y < height; ++y)
        job->rows[y] = const_cast<png_bytep>(base + static_cast<size_t>(y) * stride);
    png_write_image(job->png, job->rows.data());
    png_write_end(job->png, nullptr);
    return true;
}

bool HasPngSignature(TFile* file)
{
    png_byte signature[8] = {};
    return FileRead(signature, 1, sizeof signature, file) == sizeof signature &&
           png_sig_cmp(signature, 0, sizeof signature) == 0;
}

} // namespace

bool ReadPngImage(const TString& path, TDecodedImage& image, int maxSide)
{
    image.Reset();
    TPngJob job;
    job.path = path.CStr();
    job.maxSide = std::clamp(maxSide, 0, int(TDecodedImage::kMaxSide));
    job.file = FileOpen(path, kFileReadBinary);
    if (!job.file) {
        TraceLog(kImageCannotOpenLog, job.path);
        return false;
    }
    bool ok = false;
    if (!HasPngSignature(job.file)) {
        std::snprintf(job.message, sizeof job.message, "not a PNG file");
    } else if ((job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnError,
                                                 OnWarning)) == nullptr ||
               (job.info = png_create_info_struct(job.png)) == nullptr) {
        std::snprintf(job.message, sizeof job.message, "cannot start the PNG decoder");
    } else {
        ok = RunRead(&job, &image);
    }
    if (job.png)
        png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
    FileClose(job.file);
    if (!ok) {
        TraceLog(kImageFailedLog, job.path, job.message);
        image.Reset();
    }
    return ok;
}

bool WritePngImage(const TString& path, const uint32_t* pixels, int width, int height, int stride)
{
    if (!pixels || width < 1 || height < 1 || stride < int64_t(width) * 4) {
        TraceLog("graphics: image: %s: nothing to write (%dx%d, stride %d)", path.CStr(), width,
                 height, stride);
        return false;
    }
    TPngJob job;
    job.path = path.CStr();
    job.file = FileOpen(path, kFileWriteBinary);
    if (!job.file) {
        TraceLog(kImageCannotCreateLog, job.path);
        return false;
    }
    bool ok = false;
    if ((job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning)) ==
            nullptr ||
        (job.info = png_create_info_struct(job.png)) == nullptr) {
        std::snprintf(job.message, sizeof job.message, "cannot start the PNG encoder");
    } else {
        ok = RunWrite(&job, pixels, width, height, stride);
    }
    if (job.png)
        png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
    FileClose(job.file);
    if (!ok)
        TraceLog(kImageFailedLog, job.path, job.message);
    return ok;
}
