#include "toolkit/drive_list_box.h"

#include "platform/drives.h"
#include "platform/file_names.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/list_widgets.h"
#include "toolkit/units.h"

#include <QComboBox>
#include <QDir>

namespace tk {

DriveServices& drive_services() {
    static DriveServices services{platform::list_drives, platform::drive_of, platform::drive_ready};
    return services;
}

namespace {
// A drive list that reads the drives afresh whenever it opens: volumes come and go.
class DriveCombo : public QComboBox {
  public:
    explicit DriveCombo(DriveListBox& owner) : owner_(owner) {}
    void showPopup() override {
        owner_.refresh();
        QComboBox::showPopup();
    }

  private:
    DriveListBox& owner_;
};
} // namespace

DriveListBox::DriveListBox(Container& parent, QString name) : Control(parent, std::move(name)) {
    auto* c = new DriveCombo(*this);
    c->setIconSize(size_at_density(kListIconSize));
    attach(c);
    refresh();
    drive_ = drive_services().drive_of(platform::current_folder());
    show_drive();
    QObject::connect(c, &QComboBox::activated, c, [this](int index) {
        if (pushing_ || index < 0 || index >= drives_.size()) return;
        dispatch([&] { setDrive(drives_.at(index)); });
    });
}

QComboBox* DriveListBox::combo() const {
    return static_cast<QComboBox*>(widget());
}

void DriveListBox::refresh() {
    drives_ = drive_services().list();
    ++pushing_;
    combo()->clear();
    for (const QString& d : drives_)
        combo()->addItem(list_icon(QStyle::SP_DriveHDIcon), QDir::toNativeSeparators(d));
    --pushing_;
    show_drive();
}

void DriveListBox::show_drive() {
    ++pushing_;
    combo()->setCurrentIndex(static_cast<int>(drives_.indexOf(drive_)));
    --pushing_;
}

void DriveListBox::setDrive(const QString& drive) {
    if (!drives_.contains(drive)) {
        refresh();
        if (!drives_.contains(drive)) {
            show_drive();
            throw Error(Error::DeviceUnavailable);
        }
    }
    if (drive == drive_) {
        show_drive();
        return;
    }
    drive_ = drive;
    show_drive();
    if (onChange) onChange();
}

} // namespace tk
