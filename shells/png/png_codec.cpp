#include "shells/png/png_codec.hpp"

#include "picture/units.hpp"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

namespace trazo::png {
namespace {

// libpng reports errors by longjmp: the functions between setjmp and the jump hold nothing
// that needs destroying, and the message is kept in the context.
struct Context {
  const ByteSink* sink = nullptr;
  const unsigned char* input = nullptr;
  std::size_t inputSize = 0;
  std::size_t inputAt = 0;
  char message[200] = {};
};

void onError(png_structp png, png_const_charp message) {
  auto* context = static_cast<Context*>(png_get_error_ptr(png));
  std::strncpy(context->message, message, sizeof context->message - 1);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void writeBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* context = static_cast<Context*>(png_get_io_ptr(png));
  if (!(*context->sink)(data, size)) png_error(png, "the output refused the data");
}

void flushBytes(png_structp) {}

void readBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* context = static_cast<Context*>(png_get_io_ptr(png));
  if (context->inputSize - context->inputAt < size) png_error(png, "the file ends too early");
  std::memcpy(data, context->input + context->inputAt, size);
  context->inputAt += size;
}

// Everything that may jump: only plain data lives here.
bool encodeRows(Context& context, const PixelBuffer& picture, double dpi, unsigned char* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, onError, onWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &context, writeBytes, flushBytes);
  // Runs of one colour are what these pictures are made of: zlib's run-length strategy on
  // unfiltered rows is as fast as its fastest level and gives smaller files.
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()), static_cast<png_uint_32>(picture.height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  const auto dotsPerMetre = static_cast<png_uint_32>(dpi / kMetresPerInch + 0.5);
  png_set_pHYs(png, info, dotsPerMetre, dotsPerMetre, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  for (int y = 0; y < picture.height(); ++y) {
    const std::uint32_t* from = picture.row(y);
    for (int x = 0; x < picture.width(); ++x) {
      row[3 * x] = static_cast<unsigned char>(from[x] >> 16);
      row[3 * x + 1] = static_cast<unsigned char>(from[x] >> 8);
      row[3 * x + 2] = static_cast<unsigned char>(from[x]);
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool readHeader(Context& context, png_structp png, png_infop info, png_uint_32& width, png_uint_32& height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &context, readBytes);
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  return png_get_rowbytes(png, info) == 3 * std::size_t{width};
}

bool readRows(png_structp png, png_infop info, unsigned char* const* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, const_cast<png_bytepp>(rows));
  png_read_end(png, info);
  return true;
}

}  // namespace

bool encodePng(const PixelBuffer& picture, double dpi, const ByteSink& sink, std::string& error) {
  Context context;
  context.sink = &sink;
  std::vector<unsigned char> row;
  try {
    row.resize(3 * static_cast<std::size_t>(picture.width()) + 1);
  } catch (const std::bad_alloc&) {
    error = "out of memory";
    return false;
  }
  if (!encodeRows(context, picture, dpi, row.data())) {
    error = context.message[0] != 0 ? context.message : "the PNG encoder could not start";
    return false;
  }
  return true;
}

bool decodePng(const unsigned char* data, std::size_t size, PixelBuffer& picture, std::string& error) {
  Context context;
  context.input = data;
  context.inputSize = size;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, onError, onWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  png_uint_32 width = 0, height = 0;
  if (info != nullptr && readHeader(context, png, info, width, height) && width < 65536 && height < 65536) {
    std::vector<unsigned char> bytes;
    std::vector<unsigned char*> rows;
    try {
      bytes.resize(3 * std::size_t{width} * height);
      rows.resize(height);
    } catch (const std::bad_alloc&) {
      png_destroy_read_struct(&png, &info, nullptr);
      error = "out of memory";
      return false;
    }
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = bytes.data() + 3 * std::size_t{width} * y;
    if (readRows(png, info, rows.data()) && picture.resize(static_cast<int>(width), static_cast<int>(height), {})) {
      for (png_uint_32 y = 0; y < height; ++y) {
        std::uint32_t* to = picture.row(static_cast<int>(y));
        for (png_uint_32 x = 0; x < width; ++x) {
          const unsigned char* p = rows[y] + 3 * x;
          to[x] = pixelOf({p[0], p[1], p[2]});
        }
      }
      ok = true;
    }
  }
  if (!ok) error = context.message[0] != 0 ? context.message : "not a PNG picture this reader takes";
  png_destroy_read_struct(&png, &info, nullptr);
  return ok;
}

}  // namespace trazo::png
