#include "metafile_handler.h"

#include "child_process.h"
#include "renderer_protocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLoggingCategory>
#include <QMutex>
#include <QScreen>
#include <QVariant>
#include <cstring>
#include <set>

namespace pikuta::metafile {

namespace {

// Why a metafile failed is of interest when looking into it; the program is silent by default.
Q_LOGGING_CATEGORY(lcMetafile, "pikuta.metafile", QtCriticalMsg)

constexpr qint64 headBytes = 44;
constexpr std::size_t bytesPerPixel = 4;

std::span<const unsigned char> bytes(const QByteArray& a) {
    return {reinterpret_cast<const unsigned char*>(a.constData()), std::size_t(a.size())};
}

double screenDpi() {
    const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

QString rendererPath() {
    const QString chosen = qEnvironmentVariable("PIKUTA_METAFILE_RENDERER");
    if (!chosen.isEmpty() || !QCoreApplication::instance()) return chosen;
    // Beside the program in the build tree and on Windows; installed, in the program's own
    // folder of helper programs.
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString name =
        QLatin1String(protocol::programName) + QLatin1String(PIKUTA_EXECUTABLE_SUFFIX);
    const QString beside = programDir.filePath(name);
    const QString installed = QDir::cleanPath(
        programDir.filePath(QStringLiteral(PIKUTA_RENDERER_FROM_PROGRAM "/") + name));
    if (!QFileInfo(beside).isExecutable() && QFileInfo(installed).isExecutable()) return installed;
    return beside;
}

// Which walls the renderer lacks is said once: every picture after the first runs without the
// same ones.
void tellOnce(const std::string& notice) {
    static QMutex mutex;
    static std::set<std::string> told;
    const QMutexLocker lock(&mutex);
    if (!told.insert(notice).second) return;
    qCWarning(lcMetafile).noquote()
        << "The metafile renderer runs with fewer walls than it should:"
        << QString::fromStdString(notice).replace('\n', QLatin1String("; "));
}

// Numbers on the command line are written without the user's locale, which the renderer
// does not use to read them.
std::string argument(double value) {
    return QByteArray::number(value, 'g', 10).toStdString();
}

ChildResult runRenderer(std::vector<std::string> arguments, const QByteArray& data,
                        std::size_t maxOutput) {
    const QString program = rendererPath();
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        return {false,
                "the metafile renderer " + std::string(protocol::programName) + " is missing",
                {},
                {}};
    }
    // UTF-8 on every system: on Windows the ANSI code page would lose a folder named in another
    // script (the program unpacked under C:\Users\山田, say), and the renderer would not start.
    arguments.insert(arguments.begin(), program.toUtf8().toStdString());
    ChildLimits limits;
    limits.maxOutputBytes = maxOutput;
    ChildResult result = runChild(arguments, bytes(data), limits);
    if (!result.notice.empty()) tellOnce(result.notice);
    return result;
}

std::optional<PixelSize> sizeInReply(const std::vector<unsigned char>& reply) {
    if (reply.size() < protocol::headerBytes) return std::nullopt;
    std::uint32_t wh[2];
    std::memcpy(wh, reply.data(), sizeof wh);
    if (wh[0] > std::uint32_t(maxSide) || wh[1] > std::uint32_t(maxSide)) return std::nullopt;
    const PixelSize size{int(wh[0]), int(wh[1])};
    return fitsLimits(size) ? std::optional(size) : std::nullopt;
}

std::size_t pixelBytes(PixelSize size) {
    return std::size_t(size.width) * std::size_t(size.height) * bytesPerPixel;
}

bool copyPixels(const std::vector<unsigned char>& reply, PixelSize size, QImage* image) {
    QImage result;
    if (!QImageIOHandler::allocateImage(QSize(size.width, size.height),
                                        QImage::Format_ARGB32_Premultiplied, &result)) {
        return false;
    }
    const std::size_t rowBytes = std::size_t(size.width) * bytesPerPixel;
    const unsigned char* from = reply.data() + protocol::headerBytes;
    for (int y = 0; y < size.height; ++y)
        std::memcpy(result.scanLine(y), from + y * rowBytes, rowBytes);
    *image = result;
    return true;
}

} // namespace

QByteArray MetafileHandler::formatOf(QIODevice* device) {
    if (!device) return {};
    switch (detect(bytes(device->peek(headBytes)))) {
    case Kind::Emf:
        return "emf";
    case Kind::Wmf:
        return "wmf";
    case Kind::None:
        break;
    }
    return {};
}

bool MetafileHandler::canRead() const {
    const QByteArray format = formatOf(device());
    if (format.isEmpty()) return false;
    setFormat(format);
    return true;
}

bool MetafileHandler::read(QImage* image) {
    if (!load()) return false;
    PixelSize target{}; // zero: the renderer measures the picture itself
    if (scaledSize_.isValid() && !scaledSize_.isEmpty()) {
        target = {scaledSize_.width(), scaledSize_.height()};
    } else if (const auto known = knownSize()) {
        target = *known;
    }
    const bool sized = target.width > 0;
    if (sized && !fitsLimits(target)) return fail("the picture is too large");
    const std::size_t maxReply =
        protocol::headerBytes +
        (sized ? pixelBytes(target) : std::size_t(maxPixels) * bytesPerPixel);
    const ChildResult result =
        runRenderer({protocol::drawCommand, argument(dpi_), std::to_string(target.width),
                     std::to_string(target.height)},
                    data_, maxReply);
    if (!result.ok) return fail(QString::fromStdString(result.error));
    const auto size = sizeInReply(result.output);
    if (!size || (sized && !(*size == target)) ||
        result.output.size() != protocol::headerBytes + pixelBytes(*size)) {
        return fail("the renderer answered with a damaged picture");
    }
    return copyPixels(result.output, *size, image) || fail("the picture does not fit in memory");
}

QVariant MetafileHandler::option(ImageOption option) const {
    switch (option) {
    case Size: {
        const auto size = naturalSize();
        return size ? QVariant(QSize(size->width, size->height)) : QVariant();
    }
    case ScaledSize:
        return scaledSize_;
    case ImageFormat:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return {};
    }
}

void MetafileHandler::setOption(ImageOption option, const QVariant& value) {
    if (option == ScaledSize) scaledSize_ = value.toSize();
}

bool MetafileHandler::supportsOption(ImageOption option) const {
    return option == Size || option == ScaledSize || option == ImageFormat;
}

bool MetafileHandler::load() const {
    if (loaded_) return inspection_.error.empty();
    loaded_ = true;
    dpi_ = screenDpi();
    if (device()) {
        const QByteArray head = device()->peek(emfHeaderBytes);
        data_ = device()->read(qint64(readLimit(bytes(head))));
    }
    inspection_ = inspect(bytes(data_), dpi_);
    return inspection_.error.empty() || fail(QString::fromStdString(inspection_.error));
}

std::optional<PixelSize> MetafileHandler::naturalSize() const {
    if (!load()) return std::nullopt;
    if (const auto known = knownSize()) return known;
    const ChildResult result =
        runRenderer({protocol::sizeCommand, argument(dpi_)}, data_, protocol::headerBytes);
    if (result.ok && result.output.size() == protocol::headerBytes)
        measured_ = sizeInReply(result.output);
    if (!measured_) {
        // Remembered, so that reading the picture afterwards fails at once.
        inspection_.error = result.ok ? "the renderer measured no size" : result.error;
        fail(QString::fromStdString(inspection_.error));
    }
    return measured_;
}

std::optional<PixelSize> MetafileHandler::knownSize() const {
    return inspection_.naturalSize ? inspection_.naturalSize : measured_;
}

bool MetafileHandler::fail(const QString& why) const {
    const auto* file = qobject_cast<QFile*>(device());
    qCWarning(lcMetafile).noquote()
        << "Cannot show" << (file ? file->fileName() : QString("metafile")) << "-" << why;
    return false;
}

} // namespace pikuta::metafile
