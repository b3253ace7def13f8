#pragma once
#include <QString>
#include <ostream>

// Lets test failures show text instead of the bytes of the string object.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
