#pragma once

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

// A JPEG as other programs write them, through libjpeg at top quality:
// Components (1 grey, 3 RGB, 4 CMYK with libjpeg's Adobe marker) samples per
// pixel as given, and an APP1 marker with the given data when there is one.
template <typename Sample>
QByteArray LibjpegFile(int width, int height, int components, Sample sample, const QByteArray &app1 = {})
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (!app1.isEmpty())
        jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET *>(app1.constData()),
                          unsigned(app1.size()));
    std::vector<JSAMPLE> row(std::size_t(width * components));
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                row[std::size_t(x * components + c)] = JSAMPLE(sample(x, y, c));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}
