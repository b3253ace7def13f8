#pragma once
#include "platform/file_names.h"
#include "platform/picture_io.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

// Pictures read ahead on worker threads, one each: those the display will most likely show
// next. One is handed out only for its own path while the file is still the one that was read
// (same file, size and times), so what is shown is always what the file holds now.
namespace platform {

class Prefetch {
  public:
    Prefetch() = default;
    Prefetch(const Prefetch&) = delete;
    Prefetch& operator=(const Prefetch&) = delete;
    ~Prefetch();

    // Starts reading `path` for the display (read_held_picture), unless it is ahead already.
    // `options.needed` runs on the worker thread; `options.cancel` is the read-ahead's own.
    void start(const QString& path, ReadOptions options);
    // Keeps only the pictures ahead for `paths`, dropping the others.
    void keep_only(const QStringList& paths);
    // The picture read ahead for `path`, waiting for it while it is still being read; nothing
    // when there is none, it could not be read, or the file has changed since. It is no
    // longer ahead.
    std::optional<HeldPicture> take(const QString& path);
    // The files ahead, being read or read, in the order they were started.
    QStringList ahead() const;
    // How many pictures take() has handed out.
    int taken() const { return taken_; }
    // Waits until every picture ahead is read.
    void wait();
    // Forgets every picture ahead without waiting: a read in progress ends at its next row
    // and its picture is thrown away.
    void drop() { keep_only({}); }
    // Workers of dropped pictures still running.
    int dropped_running();

  private:
    struct Job {
        QString path;
        FileStamp before;
        ReadOptions options;
        HeldPicture picture;
        std::atomic<bool> dropped{false};
        std::atomic<bool> done{false};
    };
    struct Worker {
        std::shared_ptr<Job> job;
        std::thread thread;
    };
    void reap_dropped();
    std::vector<Worker> ahead_;
    std::vector<Worker> dropped_;
    int taken_ = 0;
};

} // namespace platform
