#pragma once

#include "metafile_format.h"

#include <QImageIOHandler>
#include <QSize>
#include <optional>

namespace pikuta::metafile {

// Reads one EMF or WMF picture by handing it to the renderer process. The natural size is
// known from the header without drawing, except for a WMF that only its records can measure.
class MetafileHandler : public QImageIOHandler {
  public:
    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant& value) override;
    bool supportsOption(ImageOption option) const override;

    // The format name ("emf" or "wmf") of the device's content, empty for anything else.
    static QByteArray formatOf(QIODevice* device);

  private:
    // The file is read and inspected once, on first need; asking for the size counts too.
    bool load() const;
    std::optional<PixelSize> naturalSize() const;
    std::optional<PixelSize> knownSize() const; // without asking the renderer
    bool fail(const QString& why) const;

    mutable bool loaded_ = false;
    mutable QByteArray data_;
    mutable double dpi_ = 96;
    mutable Inspection inspection_;
    mutable std::optional<PixelSize> measured_;
    QSize scaledSize_;
};

} // namespace pikuta::metafile
