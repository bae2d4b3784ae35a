#pragma once

// Test support: JPEG files encoded in memory with libjpeg in the variants the engine's
// own writer does not make (progressive, greyscale, restart markers), and the
// quantisation tables of a file. Inputs are the test's own, so libjpeg's default error
// handling (ending the process) stays.

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct TJpegSpec
{
    int width = 8;
    int height = 8;
    bool grey = false; // one channel: the red byte of each pixel
    bool progressive = false;
    int restartRows = 0;             // a restart marker every that many MCU rows
    bool scanPerCoefficient = false; // progressive, one scan per AC coefficient and channel
    int quality = 90;
};

// The JPEG file of width x height engine pixels.
inline std::string EncodeJpeg(const TJpegSpec& spec, const std::vector<uint32_t>& pixels)
{
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = spec.width;
    compressor.image_height = spec.height;
    compressor.input_components = spec.grey ? 1 : 4;
    compressor.in_color_space = spec.grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, spec.quality, TRUE);
    if (spec.progressive)
        jpeg_simple_progression(&compressor);
    std::vector<jpeg_scan_info> scans;
    if (spec.scanPerCoefficient) {
        jpeg_scan_info dc{};
        dc.comps_in_scan = compressor.num_components;
        for (int c = 0; c < compressor.num_components; ++c)
            dc.component_index[c] = c;
        scans.push_back(dc);
        for (int c = 0; c < compressor.num_components; ++c)
            for (int k = 1; k < DCTSIZE2; ++k) {
                jpeg_scan_info ac{};
                ac.comps_in_scan = 1;
                ac.component_index[0] = c;
                ac.Ss = k;
                ac.Se = k;
                scans.push_back(ac);
            }
        compressor.scan_info = scans.data();
        compressor.num_scans = int(scans.size());
    }
    compressor.restart_in_rows = spec.restartRows;
    jpeg_start_compress(&compressor, TRUE);
    std::vector<JSAMPLE> row(size_t(spec.width) * 4);
    while (compressor.next_scanline < compressor.image_height) {
        const uint32_t* source = pixels.data() + size_t(compressor.next_scanline) * spec.width;
        for (int x = 0; x < spec.width; ++x) {
            if (spec.grey)
                row[x] = JSAMPLE(source[x] >> 16);
            else
                for (int i = 0; i < 4; ++i)
                    row[x * 4 + i] = JSAMPLE(source[x] >> (8 * i));
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&compressor);
    std::free(buffer);
    return out;
}

// The 64 entries of the luminance quantisation table of a JPEG file.
inline std::vector<int> LuminanceTableOf(const std::string& jpeg)
{
    jpeg_decompress_struct decompressor;
    jpeg_error_mgr errors;
    decompressor.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decompressor);
    jpeg_mem_src(&decompressor, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
    jpeg_read_header(&decompressor, TRUE);
    std::vector<int> table(decompressor.quant_tbl_ptrs[0]->quantval,
                           decompressor.quant_tbl_ptrs[0]->quantval + DCTSIZE2);
    jpeg_destroy_decompress(&decompressor);
    return table;
}

// The luminance table that libjpeg's quality setting gives.
inline std::vector<int> LuminanceTableFor(int quality)
{
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    compressor.in_color_space = JCS_RGB;
    compressor.input_components = 3;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    std::vector<int> table(compressor.quant_tbl_ptrs[0]->quantval,
                           compressor.quant_tbl_ptrs[0]->quantval + DCTSIZE2);
    jpeg_destroy_compress(&compressor);
    return table;
}

// The offset of the first marker 0xFF code in a JPEG file, or npos.
inline size_t FindMarker(const std::string& jpeg, uint8_t code)
{
    for (size_t at = 2; at + 1 < jpeg.size(); ++at)
        if (uint8_t(jpeg[at]) == 0xff && uint8_t(jpeg[at + 1]) == code)
            return at;
    return std::string::npos;
}

// jpeg with the frame header's height and width replaced.
inline std::string WithJpegSize(std::string jpeg, uint16_t width, uint16_t height)
{
    const size_t frame = FindMarker(jpeg, 0xc0);
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width);
    return jpeg;
}
