#pragma once

#include "renderer.h"

#include <cairo.h>
#include <memory>

namespace pikuta::metafile {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// Copies a finished image surface into packed premultiplied ARGB32 rows.
Picture pictureFromSurface(cairo_surface_t* surface);

} // namespace pikuta::metafile
