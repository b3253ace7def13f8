// The file types listed, as File1's pattern, and the folders never listed.
#include "files/files.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "app/module2.h"

void Module2::set_pattern() {
    QString pattern;
    // The group of bitmaps and metafiles names WMF files, and they are shown as well as the
    // others; JPEG files are named ".jpeg" as often as ".jpg".
    if (options.opc1_flag == 1) pattern += QLatin1String("*.bmp;*.dib;*.emf;*.wmf;");
    if (options.opc2_flag == 1) pattern += QLatin1String("*.jpg;*.jpeg;");
    if (options.opc3_flag == 1) pattern += QLatin1String("*.gif;");
    if (pattern.endsWith(QLatin1Char(';'))) pattern.chop(1);
    main_fm->File1.setPattern(pattern);
}

bool excluded_folder(const QString& path) {
    return path.contains(QLatin1String("Temporary Internet Files")) ||
           path.contains(QLatin1String("Netscape"));
}
