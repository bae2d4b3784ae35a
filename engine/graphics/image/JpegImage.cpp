#include "engine/graphics/image/JpegImage.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/JpegFileManagers.h"
#include "engine/graphics/image/TDecodedImage.h"

#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

constexpr long kMaxDecoderMemory = 0x1000000;
// A valid progressive file has a dozen scans or so; thousands of tiny ones only make
// the decoder walk the whole picture again for each.
constexpr int kMaxScans = 100;

// What one read or write needs, reachable from libjpeg's callbacks through the error
// manager (its first member). It lives in the frame of the public function, outside the
// frame that the error jump returns to.
struct TJpegJob
{
    jpeg_error_mgr errors{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump;
    const char* path = "";
    int maxSide = TDecodedImage::kMaxSide;
    TFile* file = nullptr;
    char message[JMSG_LENGTH_MAX] = "";
};

TJpegJob* JobOf(j_common_ptr info)
{
    return reinterpret_cast<TJpegJob*>(info->err);
}

[[noreturn]] void Fail(j_common_ptr info)
{
    std::longjmp(JobOf(info)->jump, 1);
}

// Replaces the library's default, which would end the process.
[[noreturn]] void OnErrorExit(j_common_ptr info)
{
    (*info->err->format_message)(info, JobOf(info)->message);
    Fail(info);
}

void OnOutputMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    TraceLog(kImageFailedLog, JobOf(info)->path, text);
}

void OnProgress(j_common_ptr info)
{
    if (!info->is_decompressor)
        return;
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans)
        return;
    std::snprintf(JobOf(info)->message, sizeof JobOf(info)->message, "more than %d scans",
                  kMaxScans);
    Fail(info);
}

void StartJob(TJpegJob& job, const TString& path)
{
    job.path = path.CStr();
    jpeg_std_error(&job.errors);
    job.errors.error_exit = OnErrorExit;
    job.errors.output_message = OnOutputMessage;
    job.progress.progress_monitor = OnProgress;
}

// NOTE: libjpeg leaves by a jump back to the setjmp below on any fatal error. Only
// plain values live in this frame and none is read after the jump; what must survive it
// is in job, decompressor and image, which belong to the caller.
bool RunRead(TJpegJob* job, jpeg_decompress_struct* decompressor, TDecodedImage* image)
{
    if (setjmp(job->jump))
        return false;
    jpeg_create_decompress(decompressor);
    decompressor->mem->max_memory_to_use = kMaxDecoderMemory;
    decompressor->progress = &job->progress;
    SetJpegFileSource(decompressor, job->file);
    jpeg_read_header(decompressor, TRUE);
    decompressor->out_color_space = JCS_EXT_BGRA;
    if (decompressor->image_width > JDIMENSION(job->maxSide) ||
        decompressor->image_height > JDIMENSION(job->maxSide)) {
        std::snprintf(job->message, sizeof job->message, "%ux%u is larger than %d",
                      decompressor->image_width, decompressor->image_height, job->maxSide);
        return false;
    }
    if (!image->Allocate(decompressor->image_width, decompressor->image_height)) {
        std::snprintf(job->message, sizeof job->message, "%ux%u is too large",
                      decompressor->image_width, decompressor->image_height);
        return false;
    }
    jpeg_start_decompress(decompressor);
    while (decompressor->output_scanline < decompressor->output_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(image->Row(static_cast<int>(decompressor->output_scanline)));
        jpeg_read_scanlines(decompressor, &row, 1);
    }
    jpeg_finish_decompress(decompressor);
    return true;
}

// NOTE: as for RunRead.
bool RunWrite(TJpegJob* job, jpeg_compress_struct* compressor, int quality, int width, int height,
              int stride, const uint32_t* pixels)
{
    if (setjmp(job->jump))
        return false;
    jpeg_create_compress(compressor);
    compressor->image_width = static_cast<JDIMENSION>(width);
    compressor->image_height = static_cast<JDIMENSION>(height);
    compressor->input_components = 4;
    compressor->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(compressor);
    jpeg_set_quality(compressor, quality, TRUE);
    SetJpegFileDestination(compressor, job->file);
    jpeg_start_compress(compressor, TRUE);
    const JSAMPLE* base = reinterpret_cast<const JSAMPLE*>(pixels);
    while (compressor->next_scanline < compressor->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(base + size_t(compressor->next_scanline) * stride);
        jpeg_write_scanlines(compressor, &row, 1);
    }
    jpeg_finish_compress(compressor);
    return true;
}

int LibraryQuality(float quality)
{
    if (!(quality > 0.0f))
        return 0; // also NaN
    if (quality > 1.0f)
        return 100;
    return static_cast<int>(quality * 100.0f);
}

} // namespace

bool ReadJpegImage(const TString& path, TDecodedImage& image, int maxSide)
{
    image.Reset();
    TJpegJob job;
    StartJob(job, path);
    job.maxSide = std::clamp(maxSide, 0, int(TDecodedImage::kMaxSide));
    job.file = FileOpen(path, kFileReadBinary);
    if (!job.file) {
        TraceLog(kImageCannotOpenLog, job.path);
        return false;
    }
    jpeg_decompress_struct decompressor;
    std::memset(&decompressor, 0, sizeof decompressor);
    decompressor.err = &job.errors;
    const bool ok = RunRead(&job, &decompressor, &image);
    jpeg_destroy_decompress(&decompressor);
    FileClose(job.file);
    if (!ok) {
        TraceLog(kImageFailedLog, job.path, job.message);
        image.Reset();
    }
    return ok;
}

bool WriteJpegImage(const TString& path, float quality, int width, int height, int stride,
                    const uint32_t* pixels)
{
    if (!pixels || width < 1 || height < 1 || stride < int64_t(width) * 4) {
        TraceLog("graphics: image: %s: nothing to write (%dx%d, stride %d)", path.CStr(), width,
                 height, stride);
        return false;
    }
    TJpegJob job;
    StartJob(job, path);
    job.file = FileOpen(path, kFileWriteBinary);
    if (!job.file) {
        TraceLog(kImageCannotCreateLog, job.path);
        return false;
    }
    jpeg_compress_struct compressor;
    std::memset(&compressor, 0, sizeof compressor);
    compressor.err = &job.errors;
    const bool ok =
        RunWrite(&job, &compressor, LibraryQuality(quality), width, height, stride, pixels);
    jpeg_destroy_compress(&compressor);
    FileClose(job.file);
    if (!ok)
        TraceLog(kImageFailedLog, job.path, job.message);
    return ok;
}
