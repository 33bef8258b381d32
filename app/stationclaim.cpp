#include "stationclaim.h"

#include "applog.h"

#include <appdirectory.h>
#include <bilingual.h>
#include <settingsfile.h>

#include <QDir>
#include <QMessageBox>

void StationClaim::take()
{
    if (AppDirectory::claim())
        return;
    const QString folder = QDir::toNativeSeparators(AppDirectory::path());
    qCWarning(lcApp) << "another copy of the program holds" << folder << "- this copy writes none of its files";
    // Reading is allowed: the message speaks the language the operator chose.
    const Bilingual text(SettingsFile::read(SettingsFile::path()).language != 0);
    QMessageBox::warning(nullptr, text("Explain", "说明"),
                         text("Another copy of the program is using the files in %1. This copy will not save its "
                              "data or settings; close it and use the other, or start it with --profile NAME.",
                              "另一个本程序正在使用 %1 中的文件。本程序将不保存其数据和设置；"
                              "请关闭本程序并使用另一个，或以 --profile 名称 启动。")
                             .arg(folder));
}
