// The whole picture-reading path for bitmaps, JPEG and GIF: the start-of-file checks, the
// capped read, the completeness walks and the decoders behind them.
#include "platform/picture_io.h"

#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_picture_io";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
        return new QGuiApplication(argc, argv);
    }();
    static QTemporaryDir dir;
    (void)app;
    const QString path = dir.filePath(QStringLiteral("input.dib"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    QString why;
    platform::read_picture(path, &why);
    return 0;
}
