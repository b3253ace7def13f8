// EMF: the records become SVG (libemf2svg), which librsvg draws with cairo. librsvg rather than
// Qt SVG because Qt SVG leaves out <clipPath>, and clipping is common in metafiles.

#include "raster.h"

#include <cstdio>
#include <cstdlib>
#include <emf2svg.h>
#include <librsvg/rsvg.h>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>

namespace pikuta::metafile {

namespace {

struct Freer {
    void operator()(char* p) const { std::free(p); }
};
struct HandleUnref {
    void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

std::string toSvg(std::span<const unsigned char> data) {
    // The converter takes a mutable buffer but only reads it.
    std::vector<char> contents(data.begin(), data.end());
    generatorOptions options{};
    options.svgDelimiter = true;
    options.emfplus = true;
    char* out = nullptr;
    std::size_t length = 0;
    const int ok = emf2svg(contents.data(), contents.size(), &out, &length, &options);
    const std::unique_ptr<char, Freer> owned(out);
    if (!ok || !out) throw std::runtime_error("the EMF records could not be converted");
    return std::string(out, length);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

// The converter sizes its document by the inked bounds; the picture is the frame, which may
// have margins around the ink. A view box of the frame, stretched over the output, places the
// drawing the way the metafile's author saw it.
std::string framed(std::string svg, const Area& area, PixelSize size) {
    const auto start = svg.find("<svg");
    const auto end = svg.find('>', start);
    if (start == std::string::npos || end == std::string::npos) {
        throw std::runtime_error("the EMF converter produced no picture");
    }
    static const std::regex sizeAttributes(R"(\s(width|height)="[^"]*")");
    std::string tag = std::regex_replace(svg.substr(start, end - start), sizeAttributes, "");
    tag += " width=\"" + std::to_string(size.width) + "\" height=\"" + std::to_string(size.height) +
           "\" viewBox=\"" + number(area.x) + ' ' + number(area.y) + ' ' + number(area.width) +
           ' ' + number(area.height) + "\" preserveAspectRatio=\"none\"";
    return svg.replace(start, end - start, tag);
}

Picture draw(const std::string& svg, PixelSize size) {
    GError* error = nullptr;
    const std::unique_ptr<RsvgHandle, HandleUnref> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error));
    if (!handle) {
        g_clear_error(&error);
        throw std::runtime_error("the EMF converter produced an unreadable picture");
    }
    const Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.width, size.height));
    const std::unique_ptr<cairo_t, ContextDeleter> context(cairo_create(surface.get()));
    const RsvgRectangle viewport{0, 0, double(size.width), double(size.height)};
    if (!rsvg_handle_render_document(handle.get(), context.get(), &viewport, &error)) {
        g_clear_error(&error);
        throw std::runtime_error("the EMF picture could not be drawn");
    }
    return pictureFromSurface(surface.get());
}

} // namespace

Picture renderEmf(std::span<const unsigned char> data, PixelSize size) {
    return draw(framed(toSvg(data), emfPictureArea(data), size), size);
}

} // namespace pikuta::metafile
