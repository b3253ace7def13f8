#include "raster.h"

#include <cstring>
#include <glib.h>
#include <malloc.h>
#include <stdexcept>

namespace pikuta::metafile {

namespace {

struct PngReader {
    std::span<const unsigned char> rest;
};

cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->rest.size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->rest.data(), length);
    reader->rest = reader->rest.subspan(length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

Picture pictureFromSurface(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("the drawing surface failed");
    }
    const auto format = cairo_image_surface_get_format(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    // An opaque surface leaves the alpha byte undefined.
    const std::uint32_t alpha = format == CAIRO_FORMAT_RGB24 ? 0xFF000000u : 0;
    Picture picture{{w, h}, std::vector<std::uint32_t>(std::size_t(w) * h)};
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < w; ++x)
            picture.pixels[std::size_t(y) * w + x] = row[x] | alpha;
    }
    return picture;
}

// POSIX streams never translate line ends, and a crash shows no dialog. The drawing libraries'
// warnings are left out of the error stream, whose first line the viewer gives as the reason a
// picture failed. The text library's helper threads allocate from the one heap instead of
// reserving 64 MB each, so the address space a picture takes does not depend on how they overlap.
void prepareProcess() {
    mallopt(M_ARENA_MAX, 1);
    g_log_set_writer_func(
        [](GLogLevelFlags, const GLogField*, gsize, gpointer) { return G_LOG_WRITER_HANDLED; },
        nullptr, nullptr);
}

Picture pictureFromPng(std::span<const unsigned char> png) {
    PngReader reader{png};
    const Surface surface(cairo_image_surface_create_from_png_stream(readPng, &reader));
    const auto format = cairo_image_surface_get_format(surface.get());
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) {
        throw std::runtime_error("the WMF library produced an unreadable image");
    }
    return pictureFromSurface(surface.get());
}

} // namespace pikuta::metafile
