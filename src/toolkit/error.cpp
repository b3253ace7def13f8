#include "toolkit/error.h"

namespace tk {

static QString default_description(int number) {
    switch (number) {
    case Error::Overflow:
        return QStringLiteral("Overflow");
    case Error::OutOfMemory:
        return QStringLiteral("Out of memory");
    case Error::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case Error::DeviceUnavailable:
        return QStringLiteral("Device unavailable");
    case Error::PathNotFound:
        return QStringLiteral("Path not found");
    case Error::InvalidProperty:
        return QStringLiteral("Invalid property value");
    default:
        return QStringLiteral("Error %1").arg(number);
    }
}

Error::Error(int number, QString description)
    : number_(number),
      description_(description.isEmpty() ? default_description(number) : std::move(description)),
      what_(description_.toUtf8()) {}

} // namespace tk
