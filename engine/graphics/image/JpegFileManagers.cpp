#include "engine/graphics/image/JpegFileManagers.h"

#include "engine/foundation/files/TFile.h"

#include <jerror.h>

namespace {

constexpr size_t kBufferSize = 4096;

struct TFileSource
{
    jpeg_source_mgr manager; // first, so the library's pointer is ours
    TFile* file;
    JOCTET* buffer;
    bool atStart;
};

struct TFileDestination
{
    jpeg_destination_mgr manager; // first, so the library's pointer is ours
    TFile* file;
    JOCTET* buffer;
};

TFileSource* SourceOf(j_decompress_ptr decompressor)
{
    return reinterpret_cast<TFileSource*>(decompressor->src);
}

TFileDestination* DestinationOf(j_compress_ptr compressor)
{
    return reinterpret_cast<TFileDestination*>(compressor->dest);
}

void InitSource(j_decompress_ptr decompressor)
{
    SourceOf(decompressor)->atStart = true;
}

boolean FillInputBuffer(j_decompress_ptr decompressor)
{
    TFileSource* source = SourceOf(decompressor);
    size_t count = FileRead(source->buffer, 1, kBufferSize, source->file);
    if (count == 0) {
        if (source->atStart)
            ERREXIT(decompressor, JERR_INPUT_EMPTY);
        WARNMS(decompressor, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = count;
    source->atStart = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr decompressor, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr& manager = SourceOf(decompressor)->manager;
    while (static_cast<size_t>(count) > manager.bytes_in_buffer) {
        count -= static_cast<long>(manager.bytes_in_buffer);
        FillInputBuffer(decompressor);
    }
    manager.next_input_byte += count;
    manager.bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr compressor)
{
    TFileDestination* destination = DestinationOf(compressor);
    destination->manager.next_output_byte = destination->buffer;
    destination->manager.free_in_buffer = kBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr compressor)
{
    TFileDestination* destination = DestinationOf(compressor);
    if (FileWrite(destination->buffer, 1, kBufferSize, destination->file) != kBufferSize)
        ERREXIT(compressor, JERR_FILE_WRITE);
    InitDestination(compressor);
    return TRUE;
}

void TermDestination(j_compress_ptr compressor)
{
    TFileDestination* destination = DestinationOf(compressor);
    const size_t used = kBufferSize - destination->manager.free_in_buffer;
    if (used > 0 && FileWrite(destination->buffer, 1, used, destination->file) != used)
        ERREXIT(compressor, JERR_FILE_WRITE);
}

template <typename T> T* AllocatePermanent(j_common_ptr info, size_t size)
{
    return static_cast<T*>((*info->mem->alloc_small)(info, JPOOL_PERMANENT, size));
}

} // namespace

void SetJpegFileSource(j_decompress_ptr decompressor, TFile* file)
{
    if (decompressor->src == nullptr) {
        j_common_ptr common = reinterpret_cast<j_common_ptr>(decompressor);
        TFileSource* source = AllocatePermanent<TFileSource>(common, sizeof(TFileSource));
        source->buffer = AllocatePermanent<JOCTET>(common, kBufferSize);
        decompressor->src = &source->manager;
    }
    TFileSource* source = SourceOf(decompressor);
    source->manager.init_source = InitSource;
    source->manager.fill_input_buffer = FillInputBuffer;
    source->manager.skip_input_data = SkipInputData;
    source->manager.resync_to_restart = jpeg_resync_to_restart;
    source->manager.term_source = TermSource;
    source->manager.bytes_in_buffer = 0;
    source->manager.next_input_byte = nullptr;
    source->file = file;
    source->atStart = true;
}

void SetJpegFileDestination(j_compress_ptr compressor, TFile* file)
{
    if (compressor->dest == nullptr) {
        j_common_ptr common = reinterpret_cast<j_common_ptr>(compressor);
        TFileDestination* destination =
            AllocatePermanent<TFileDestination>(common, sizeof(TFileDestination));
        destination->buffer = AllocatePermanent<JOCTET>(common, kBufferSize);
        compressor->dest = &destination->manager;
    }
    TFileDestination* destination = DestinationOf(compressor);
    destination->manager.init_destination = InitDestination;
    destination->manager.empty_output_buffer = EmptyOutputBuffer;
    destination->manager.term_destination = TermDestination;
    destination->file = file;
}
