#pragma once

// libjpeg's source and destination managers over engine files: the JPEG codec reads and
// writes through FileRead and FileWrite in 4096-byte steps. Codec use only.

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

class TFile;

// Makes decompressor read from file (made on first use in the decompressor's permanent
// pool; a second call reuses it). An empty file is a fatal decoder error; a file that
// ends early gives one warning and an end-of-image marker, so the picture is completed
// instead of refused. file must stay open until the decompressor is done with it.
void SetJpegFileSource(j_decompress_ptr decompressor, TFile* file);

// Makes compressor write to file. A short write is a fatal encoder error, so a full disk
// cannot pass for a saved picture. file must stay open until the compressor is done.
void SetJpegFileDestination(j_compress_ptr compressor, TFile* file);
