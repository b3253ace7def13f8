#pragma once
#include "toolkit/control.h"

#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;

namespace tk {

// What the drive and folder lists know of drives: the platform's drives unless a test put in
// its own (there is no other way to have a drive that cannot be read).
struct DriveServices {
    std::function<QStringList()> list;
    std::function<QString(const QString& path)> drive_of;
    std::function<bool(const QString& drive, QString* why)> ready;
};
DriveServices& drive_services();

// Drive choice: the drives of drive_services().list(), by their path.
class DriveListBox : public Control {
  public:
    DriveListBox(Container& parent, QString name);
    const QString& drive() const { return drive_; }
    // A drive that is not in the list fails (DeviceUnavailable); a change raises onChange.
    void setDrive(const QString& drive);
    void refresh();
    std::function<void()> onChange;

  private:
    QComboBox* combo() const;
    void show_drive();
    QStringList drives_;
    QString drive_;
    int pushing_ = 0;
};

} // namespace tk
