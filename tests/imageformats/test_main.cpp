#include <QGuiApplication>
#include <QtPlugin>
#include <gtest/gtest.h>

Q_IMPORT_PLUGIN(PikutaMetafilePlugin)

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The renderer is built at the top of the build tree, not beside this test program.
    if (!qEnvironmentVariableIsSet("PIKUTA_METAFILE_RENDERER")) {
        qputenv("PIKUTA_METAFILE_RENDERER", PIKUTA_METAFILE_RENDERER_PATH);
    }
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
