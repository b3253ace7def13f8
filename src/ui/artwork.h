#pragma once
#include <QCursor>
#include <QIcon>
#include <QImage>

// The program's small pictures, drawn in code so that no image files need shipping.
namespace artwork {

QIcon program_icon();     // 32 x 32 window icon of the main window
QIcon search_icon();      // 32 x 32 window icon of the search window
QCursor loupe_cursor();   // 32 x 32 magnifying glass over the picture
QImage search_strip();    // 300 x 20 animation strip of the search window
QImage search_mascot();   // 21 x 32 picture of the search window
QImage version_picture(); // 232 x 129 background of the version window

} // namespace artwork
