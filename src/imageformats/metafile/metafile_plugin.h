#pragma once

// EMF and WMF pictures for QImageReader, found by their content whatever the file is called.
// The plugin is linked statically; the code that loads pictures makes it known once with
//
//     #include <QtPlugin>
//     Q_IMPORT_PLUGIN(PikutaMetafilePlugin)
//
// The drawing happens in the renderer process pikuta-metafile, which is built next to the
// program and found beside it; the environment variable PIKUTA_METAFILE_RENDERER names
// another renderer, for tests.

#include <QImageIOPlugin>

class PikutaMetafilePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "metafile.json")

  public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device,
                            const QByteArray& format = QByteArray()) const override;
};
