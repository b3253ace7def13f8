#pragma once

// How the image plugin talks to the renderer process. The file's bytes go to its standard
// input. "pikuta-metafile draw DPI WIDTH HEIGHT" draws the picture at WIDTH x HEIGHT pixels
// (0 0: at its natural size); "pikuta-metafile size DPI" only measures it. The reply on
// standard output starts with the width and height as two 32-bit numbers in host byte order;
// a drawing follows with width x height premultiplied ARGB32 pixels, row after row.
// Lines on its error stream that begin with `noticePrefix` say which of its walls the system
// could not put up; they go to the viewer's log. The first other line says why it failed.

#include <cstddef>

namespace pikuta::metafile::protocol {

inline constexpr char programName[] = "pikuta-metafile";
inline constexpr char drawCommand[] = "draw";
inline constexpr char sizeCommand[] = "size";
inline constexpr std::size_t headerBytes = 8;
inline constexpr char noticePrefix[] = "notice: ";
// "off" leaves the renderer without its walls, to tell whether they are what a picture fails on.
inline constexpr char sandboxVariable[] = "PIKUTA_METAFILE_SANDBOX";

} // namespace pikuta::metafile::protocol
