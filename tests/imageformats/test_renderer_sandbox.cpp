// The renderer's walls, tried from inside by a test build of it (escaping_renderer.cpp) that does
// what code smuggled in by a crafted metafile would, and read by the viewer as any picture is.

#include "renderer_protocol.h"

#include <QDir>
#include <QImageReader>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <gtest/gtest.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

QStringList logged;

void keepLog(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QLatin1String(context.category) == QLatin1String("pikuta.metafile")) logged << message;
}

// The viewer reading a sample with the test build as its renderer, trying `attempt`.
class Viewer {
  public:
    Viewer() : previous_(qInstallMessageHandler(keepLog)) {
        QLoggingCategory::setFilterRules(QStringLiteral("pikuta.metafile.warning=true"));
        qputenv("PIKUTA_METAFILE_RENDERER", PIKUTA_ESCAPING_RENDERER_PATH);
    }
    ~Viewer() {
        for (const char* name :
             {"PIKUTA_METAFILE_RENDERER", "PIKUTA_TEST_ESCAPE", "PIKUTA_TEST_OLD_KERNEL",
              pikuta::metafile::protocol::sandboxVariable})
            qunsetenv(name);
        QLoggingCategory::setFilterRules({});
        qInstallMessageHandler(previous_);
    }
    // True when the picture came out.
    bool read(const QString& attempt, bool sandbox = true) {
        qputenv("PIKUTA_TEST_ESCAPE", attempt.toUtf8());
        if (sandbox)
            qunsetenv(pikuta::metafile::protocol::sandboxVariable);
        else
            qputenv(pikuta::metafile::protocol::sandboxVariable, "off");
        logged.clear();
        return !QImageReader(QStringLiteral(PIKUTA_METAFILE_SAMPLES "/shapes.emf")).read().isNull();
    }

  private:
    QtMessageHandler previous_;
};

bool kernelOffersWalls() {
    return ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION) >=
               1 &&
           ::prctl(PR_GET_SECCOMP) == 0;
}

TEST(RendererSandbox, SmuggledCodeCannotReachOut) {
    if (!kernelOffersWalls()) GTEST_SKIP() << "this kernel offers neither Landlock nor seccomp";
    QTemporaryFile secret(QDir::home().filePath(QStringLiteral(".pikuta-secret-XXXXXX")));
    ASSERT_TRUE(secret.open());
    secret.write("secret");
    secret.flush();
    const QTemporaryDir writable;
    const QString created = writable.filePath(QStringLiteral("escaped"));
    const std::pair<const char*, QString> rows[] = {
        {"reads a file in the user's home", QStringLiteral("read ") + secret.fileName()},
        {"creates a file in a writable folder", QStringLiteral("write ") + created},
        {"opens a socket", QStringLiteral("socket")},
        {"starts /bin/true", QStringLiteral("run /bin/true")},
    };
    Viewer viewer;
    for (const auto& [name, attempt] : rows) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(viewer.read(attempt));
        EXPECT_TRUE(logged.size() == 1 && logged[0].contains(QLatin1String(" - refused: ")))
            << logged.join('\n').toStdString();
        EXPECT_FALSE(QFile::exists(created));
        // Without the walls the same attempt succeeds and the picture is drawn: the row fails
        // where the renderer is not shut in.
        EXPECT_TRUE(viewer.read(attempt, false)) << logged.join('\n').toStdString();
        QFile::remove(created);
        // The viewer goes on to the next picture.
        EXPECT_TRUE(viewer.read({}));
    }
    EXPECT_FALSE(viewer.read(QStringLiteral("status")));
    EXPECT_TRUE(logged.size() == 1 && logged[0].endsWith(QLatin1String("NoNewPrivs: 1 Seccomp: 2")))
        << logged.join('\n').toStdString();
}

TEST(RendererSandbox, WithoutKernelSupportDrawsAndSaysSoOnce) {
    Viewer viewer;
    qputenv("PIKUTA_TEST_OLD_KERNEL", "1");
    EXPECT_TRUE(viewer.read({}));
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].contains(QLatin1String("no filesystem walls")) &&
                logged[0].contains(QLatin1String("no system call filter")))
        << logged[0].toStdString();
    EXPECT_TRUE(viewer.read({}));
    EXPECT_TRUE(logged.isEmpty()) << logged.join('\n').toStdString();
}

} // namespace
