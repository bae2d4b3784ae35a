#pragma once

// An Ogg Vorbis data source over a whole file in memory, for the decoder's callbacks
// (ov_open_callbacks). The decoder owns the record once it opened it and frees it through
// OggMemoryClose. Offsets are kept within 0..size.

#include <cstddef>
#include <cstdint>
#include <vector>

class TFile;

struct OggMemoryFile
{
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

// Reads the rest of file into a new record and closes the file (also when reading fails).
OggMemoryFile* ReadOggMemoryFile(TFile* file);

// Copies size x count bytes (fewer at the end) and returns the number of bytes copied.
size_t OggMemoryRead(void* destination, size_t size, size_t count, void* source);
// SEEK_SET, SEEK_CUR or SEEK_END, the result kept within 0..size: 0. Any other whence: -1.
int OggMemorySeek(void* source, int64_t offset, int whence);
// Frees the record. Returns 0.
int OggMemoryClose(void* source);
long OggMemoryTell(void* source);
