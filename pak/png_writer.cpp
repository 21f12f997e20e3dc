#include "pak/png_writer.h"

#include <png.h>

static void appendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    std::vector<uint8_t>* out = (std::vector<uint8_t>*)png_get_io_ptr(png);
    out->insert(out->end(), data, data + length);
}

static void flushNothing(png_structp) {}

bool encodePng(const uint8_t* rgba, int32_t width, int32_t height, std::vector<uint8_t>* out) {
    if (!rgba || width <= 0 || height <= 0) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_bytep> rows((size_t)height);
    for (int32_t y = 0; y < height; y++) rows[(size_t)y] = (png_bytep)(rgba + (size_t)y * (size_t)width * 4);
    const size_t start = out->size();
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out->resize(start);
        return false;
    }
    png_set_write_fn(png, out, appendPngBytes, flushNothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
