#include "metafile_plugin.h"

#include "metafile_handler.h"

using pikuta::metafile::MetafileHandler;

// With a device the content decides, so that a misnamed file still finds its reader and a
// file named .emf that is something else is left to the reader that fits it.
QImageIOPlugin::Capabilities PikutaMetafilePlugin::capabilities(QIODevice* device,
                                                                const QByteArray& format) const {
    if (device && device->isReadable()) {
        return MetafileHandler::formatOf(device).isEmpty() ? Capabilities() : CanRead;
    }
    return format == "emf" || format == "wmf" ? CanRead : Capabilities();
}

QImageIOHandler* PikutaMetafilePlugin::create(QIODevice* device, const QByteArray& format) const {
    auto* handler = new MetafileHandler;
    handler->setDevice(device);
    const QByteArray byContent = MetafileHandler::formatOf(device);
    handler->setFormat(byContent.isEmpty() ? format : byContent);
    return handler;
}
