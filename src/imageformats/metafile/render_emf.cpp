// EMF: the records become SVG (libemf2svg), which librsvg draws with cairo. librsvg rather than
// Qt SVG because Qt SVG leaves out <clipPath>, and clipping is common in metafiles.

#include "raster.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <emf2svg.h>
#include <librsvg/rsvg.h>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>

// The EMF converter shuts fontconfig down after each text it draws by glyph index. That reloads
// the font configuration for each such text (10 ms here, every time) and, in a process that has
// drawn text before, pulls fontconfig's caches from under the drawing library, which fontconfig
// answers with a failed assertion. This process keeps fontconfig for its whole life instead:
// this definition takes the place of fontconfig's own for every caller in it.
extern "C" void FcFini() {}

namespace pikuta::metafile {

namespace {

// Header fields: the description's length and place.
constexpr std::size_t descriptionFields = 60;
// The converter reads some strings up to their terminator; zeros past the end of what it is
// given keep such a read inside the buffer.
constexpr std::size_t terminatorRoom = 4;
// librsvg's text layout counts in integers that a font of about 1.9 million units overflows, and
// then aborts the process. No picture shows a letter of a million units: that is far larger than
// anything drawn here.
constexpr double maxFontSize = 1e6;

struct Freer {
    void operator()(char* p) const { std::free(p); }
};
struct HandleUnref {
    void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

// What the header says the file holds (the size the viewer reads up to).
std::size_t declaredBytes(std::span<const unsigned char> data) {
    return std::min(readLimit(data.first(std::min(data.size(), emfHeaderBytes))), data.size());
}

// The converter is given only what the header says the file holds, which has been checked, and
// no description: it reads the description only to throw it away, and takes its place and
// length on trust. It takes a mutable buffer but only reads it.
std::string toSvg(std::span<const unsigned char> data) {
    const std::size_t bytes = declaredBytes(data);
    std::vector<char> contents(data.begin(), data.begin() + std::ptrdiff_t(bytes));
    std::fill_n(contents.begin() + descriptionFields, 8, 0);
    contents.resize(bytes + terminatorRoom, 0);
    generatorOptions options{};
    options.svgDelimiter = true;
    options.emfplus = true;
    char* out = nullptr;
    std::size_t length = 0;
    const int ok = emf2svg(contents.data(), bytes, &out, &length, &options);
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

std::string withDrawableFontSizes(std::string svg) {
    constexpr std::string_view attribute = "font-size=\"";
    for (auto at = svg.find(attribute); at != std::string::npos; at = svg.find(attribute, at)) {
        at += attribute.size();
        const auto end = svg.find('"', at);
        if (end == std::string::npos) break;
        if (!(std::strtod(svg.c_str() + at, nullptr) <= maxFontSize))
            svg.replace(at, end - at, number(maxFontSize));
    }
    return svg;
}

void drawInto(RsvgHandle* handle, Picture& picture) {
    const auto [width, height] = picture.size;
    const Surface surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(picture.pixels.data()), CAIRO_FORMAT_ARGB32, width,
        height, width * int(sizeof(std::uint32_t))));
    const std::unique_ptr<cairo_t, ContextDeleter> context(cairo_create(surface.get()));
    const RsvgRectangle viewport{0, 0, double(width), double(height)};
    GError* error = nullptr;
    if (!rsvg_handle_render_document(handle, context.get(), &viewport, &error)) {
        g_clear_error(&error);
        throw std::runtime_error("the EMF picture could not be drawn");
    }
    cairo_surface_flush(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("the drawing surface failed");
}

Picture draw(const std::string& svg, PixelSize size) {
    GError* error = nullptr;
    const std::unique_ptr<RsvgHandle, HandleUnref> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error));
    if (!handle) {
        g_clear_error(&error);
        throw std::runtime_error("the EMF converter produced an unreadable picture");
    }
    // Drawn straight into the answer's rows: a poster's pixels are held once, not twice.
    Picture picture{size, std::vector<std::uint32_t>(std::size_t(size.width) * size.height)};
    drawInto(handle.get(), picture);
    return picture;
}

} // namespace

Picture renderEmf(std::span<const unsigned char> data, PixelSize size) {
    return draw(withDrawableFontSizes(framed(toSvg(data), emfPictureArea(data), size)), size);
}

} // namespace pikuta::metafile
