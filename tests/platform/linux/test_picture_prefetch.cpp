// The picture read ahead on a worker, where a POSIX pipe can hold the worker up at will.
#include "platform/picture_prefetch.h"
#include "support/platform_env.h"

#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

// Dropping the picture read ahead does not wait for the worker: here one stuck opening a pipe
// nobody writes to yet. The worker is joined once it has finished.
TEST(Prefetch, DroppingDoesNotWaitForTheWorker) {
    test_env::TempTree tree;
    const QString pipe = tree.path() + "/stuck.jpg";
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    platform::Prefetch prefetch;
    prefetch.start(pipe, {});
    prefetch.drop();
    EXPECT_EQ(prefetch.dropped_running(), 1);
    EXPECT_FALSE(prefetch.take(pipe)) << "nothing is ahead any more";
    QFile writer(pipe);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    writer.write("not a picture");
    writer.close();
    for (int waited = 0; prefetch.dropped_running() > 0 && waited < 5000; waited += 10)
        QThread::msleep(10);
    EXPECT_EQ(prefetch.dropped_running(), 0);
}
