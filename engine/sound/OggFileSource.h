#pragma once

// An Ogg Vorbis data source over an open engine file (TFile), for the decoder's callbacks
// (ov_open_callbacks). The decoder owns the file once it opened it and closes it through
// OggFileClose.

#include <cstddef>
#include <cstdint>

// Reads size x count bytes; a partial element at the end is given back to the file.
// Returns the number of whole elements read.
size_t OggFileRead(void* destination, size_t size, size_t count, void* source);
// SEEK_SET, SEEK_CUR or SEEK_END: 0. Any other whence: -1, and the file stays where it is.
int OggFileSeek(void* source, int64_t offset, int whence);
// Closes the file. Returns 0.
int OggFileClose(void* source);
long OggFileTell(void* source);
