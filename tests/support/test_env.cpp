#include "test_env.h"

#include "app/forms.h"
#include "app/module2.h"
#include "app/settings.h"
#include "toolkit/events.h"
#include "ui/kensaku_set.h"
#include "ui/main_fm.h"
#include "ui/menu_fm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace test_env {

QString MemoryStore::read(const QString&, const QString&, const QString& key)
{
    auto it = values.find(key);
    return it == values.end() ? QString() : it->second;
}

void MemoryStore::write(const QString&, const QString&, const QString& key, const QString& value)
{
    values[key] = value;
}

bool MemoryStore::flush()
{
    ++flushes;
    return true;
}

QStringList& messages()
{
    static QStringList m;
    return m;
}

int& beeps()
{
    static int b = 0;
    return b;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

MemoryStore& fresh_program()
{
    main_fm.unload();
    kensaku_set.unload();
    menu_fm.unload();
    settle();
    Module2::reset_state();
    auto store = std::make_unique<MemoryStore>();
    MemoryStore& ref = *store;
    settings::set_store(std::move(store));
    messages().clear();
    beeps() = 0;
    tk::set_user_effects({[](const QString& text, const QString& title) {
                              messages().push_back(title + QLatin1Char('|') + text);
                          },
                          [] { ++beeps(); }});
    return ref;
}

TempTree::TempTree()
{
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    root_ = QDir::toNativeSeparators(dir.path());
}

TempTree::~TempTree() { QDir(root_).removeRecursively(); }

QString TempTree::file(const QString& relative, const QByteArray& content)
{
    const QString full = QDir(root_).filePath(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return QDir::toNativeSeparators(full);
}

QString TempTree::folder(const QString& relative)
{
    const QString full = QDir(root_).filePath(relative);
    QDir().mkpath(full);
    return QDir::toNativeSeparators(full);
}

} // namespace test_env
