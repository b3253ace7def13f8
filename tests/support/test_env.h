#pragma once
#include "platform/settings_store.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

namespace test_env {

// A settings store in memory, shared with the test that installed it.
class MemoryStore : public platform::SettingsStore {
public:
    std::map<QString, QString> values; // key -> text, all under PIKUTA/Startup
    int flushes = 0;
    QString read(const QString& app, const QString& section, const QString& key) override;
    void write(const QString& app, const QString& section, const QString& key,
               const QString& value) override;
    bool flush() override;
};

// Unloads every window, releases them and puts the shared state back to program start.
// Installs a fresh memory store (returned) and captures message boxes and beeps.
MemoryStore& fresh_program();

// Message boxes shown since fresh_program(), as "title|text".
QStringList& messages();
int& beeps();

// Lets queued work (deferred releases, batched list updates) run.
void settle();

// A temporary folder with the given files (relative paths; folders made as needed).
class TempTree {
public:
    TempTree();
    ~TempTree();
    QString path() const { return root_; }
    QString file(const QString& relative, const QByteArray& content = "x");
    QString folder(const QString& relative);

private:
    QString root_;
};

} // namespace test_env
