#pragma once
// File collection: what the folder offers. Its handlers are members of the windows: the file
// types (file_types.cpp, Module2::set_pattern), the drive and folder lists that fill the play
// list (listing.cpp), a path handed to the program (open_path.cpp), marking entries and the
// list's hints (selection.cpp), the folder search (search.cpp, MainForm::DirDiver) and the
// search window (search_window.cpp, KensakuSet). Its state is Module2::search and
// Module2::options' file types, and MainForm::listing.
#include <QString>

// Folders whose pictures are never listed (browser caches), by the listing and the search.
bool excluded_folder(const QString& path);
