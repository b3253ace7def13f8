#include "platform/drives.h"
#include "platform/linux/volumes.h"
#include "support/platform_env.h"
#include "unprivileged.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

static QString system_text(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

TEST(Drives, UserVolumesAreTheBlockDeviceMountsInUserMountPlaces) {
    // A line of /proc/self/mountinfo, and the volume it offers (nullptr: none).
    const std::pair<const char*, const char*> rows[] = {
        {"22 1 0:21 / /proc rw,nosuid shared:12 - proc proc rw", nullptr},
        {"25 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw", nullptr},
        {"30 25 0:26 / /media/ram rw - tmpfs tmpfs rw", nullptr},
        {"34 25 8:17 / /media/usb rw,nosuid master:5 - vfat /dev/sdb1 rw", "/media/usb/"},
        {"35 25 8:33 / /run/media/me/CAMERA rw - exfat /dev/sdc1 rw", "/run/media/me/CAMERA/"},
        {"36 25 8:49 / /mnt rw - ntfs3 /dev/sdd1 rw", "/mnt/"},
        {"37 25 8:50 / /mnt/My\\040Photos\\134x rw - fuseblk /dev/sdd2 rw", "/mnt/My Photos\\x/"},
        {"38 25 8:51 / /media/\xE5\x86\x99\xE7\x9C\x9F rw - ext4 /dev/sdd3 rw",
         "/media/\xE5\x86\x99\xE7\x9C\x9F/"},
        {"39 25 0:40 /sub /media/btrfs rw - btrfs /dev/sde1 rw", "/media/btrfs/"},
        {"40 25 8:17 / /media/usb rw - vfat /dev/sdb1 rw", "/media/usb/"},
        {"41 25 8:65 / /mediaX/disk rw - ext4 /dev/sdf1 rw", nullptr},
        {"43 25 8:67 / /media/short", nullptr},
    };
    QByteArray text;
    QStringList expected;
    for (const auto& [line, volume] : rows) {
        text += QByteArray(line) + '\n';
        if (volume) expected.append(QString::fromUtf8(volume));
    }
    expected.removeDuplicates();
    expected.sort();
    EXPECT_EQ(platform::user_volumes_in_mountinfo(text), expected);
}

TEST(Drives, APathBelongsToTheLongestDriveThatHoldsIt) {
    const QStringList drives{"/", "/media/usb/", "/media/usb/inner/", "/mnt/"};
    const std::pair<const char*, const char*> rows[] = {
        {"/home/me/pics", "/"},
        {"/media/usb", "/media/usb/"},
        {"/media/usb/a/b.jpg", "/media/usb/"},
        {"/media/usb/inner/x", "/media/usb/inner/"},
        {"/media/usb2/x", "/"},
        {"/media/usb/../other", "/"},
        {"/", "/"},
    };
    for (const auto& [path, drive] : rows)
        EXPECT_EQ(platform::drive_holding(path, drives), drive) << path;
    EXPECT_EQ(platform::drive_of("/"), "/");
    const QStringList drives_here = platform::list_drives();
    ASSERT_FALSE(drives_here.isEmpty());
    EXPECT_EQ(drives_here.front(), "/"); // the root first
    for (const QString& drive : drives_here)
        EXPECT_TRUE(drive.endsWith(u'/')) << drive.toStdString();
}

TEST(Drives, ADriveIsReadyWhenItsFolderCanBeListed) {
    QTemporaryDir dir;
    const QString file = dir.filePath("file");
    QFile(file).open(QIODevice::WriteOnly);
    const std::pair<QString, QString> rows[] = {
        {dir.path() + "/", ""},
        {dir.filePath("missing/"), system_text(ENOENT)},
        {file, system_text(ENOTDIR)},
        {"", system_text(ENOENT)},
    };
    for (const auto& [drive, failure] : rows) {
        QString why;
        EXPECT_EQ(platform::drive_ready(drive, &why), failure.isEmpty()) << drive.toStdString();
        EXPECT_EQ(why, failure) << drive.toStdString();
    }
    EXPECT_FALSE(platform::drive_ready(dir.filePath("missing"), nullptr));
}

TEST(Drives, AFolderWithoutReadOrSearchPermissionIsNotReady) {
    run_unprivileged([] {
        QTemporaryDir dir;
        for (mode_t mode : {0000, 0300, 0600}) {
            ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), mode), 0);
            QString why;
            EXPECT_FALSE(platform::drive_ready(dir.path() + "/", &why)) << mode;
            EXPECT_EQ(why, system_text(EACCES)) << mode;
        }
        chmod(QFile::encodeName(dir.path()).constData(), 0700);
    });
}
