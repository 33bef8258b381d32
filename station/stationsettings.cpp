#include "stationsettings.h"

#include "stationlog.h"

#include <appdirectory.h>
#include <settingsfile.h>

#include <QHostAddress>
#include <QSettings>

namespace {

// The keys of a processor's link in its group; the others (mask, gateway,
// MAC text) are the device's own, read from it.
const QList<int> LinkKeys{0, 1, 2, 6};
const QString NameKey = QStringLiteral("name");

QString groupOf(int index)
{
    return QStringLiteral("processor%1").arg(index + 1);
}

bool isLink(const QStringList &link)
{
    bool portOk = false;
    const int port = link.at(2).toInt(&portOk);
    const bool tcp = link.at(0) == QLatin1String("0");
    return portOk && port > 0 && port <= 65535
           && (tcp ? !QHostAddress(link.at(1)).isNull() : !link.at(6).trimmed().isEmpty());
}

QString nameIn(const QSettings &settings, int index)
{
    const QString name = settings.value(groupOf(index) + QLatin1Char('/') + NameKey).toString().trimmed();
    return name.isEmpty() ? StationSettings::defaultName(index) : name.left(StationSettings::MaxNameLength);
}

} // namespace

// The groups run on from [processor2]: the first one missing or not a link
// ends the list, as a processor's number names its folder and must not
// shift.
QList<StationSettings::Processor> StationSettings::read(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    QList<Processor> processors{{nameIn(settings, 0), SettingsFile::read(path).linkSettings}};
    for (int index = 1; index < MaxProcessors; ++index) {
        const QString group = groupOf(index);
        if (!settings.childGroups().contains(group))
            break;
        Processor processor{nameIn(settings, index), SettingsFile::defaultLinkSettings()};
        for (int key : LinkKeys)
            processor.link[key] = settings.value(group + QLatin1Char('/') + QString::number(key), processor.link[key])
                                      .toString()
                                      .trimmed();
        if (!isLink(processor.link)) {
            qCWarning(lcStation) << group << "is not a link (0 type, 1 address, 2 port, 6 serial port): it and the groups after it are left out";
            break;
        }
        processors.append(processor);
    }
    return processors;
}

bool StationSettings::write(const QString &path, const QList<Processor> &processors)
{
    if (!AppDirectory::mayWrite(path))
        return false;
    QSettings settings(path, QSettings::IniFormat);
    for (int index = 0; index < MaxProcessors; ++index)
        settings.remove(groupOf(index));
    for (int index = 0; index < processors.size() && index < MaxProcessors; ++index) {
        settings.beginGroup(groupOf(index));
        settings.setValue(NameKey, processors.at(index).name);
        for (int key : LinkKeys) {
            if (index > 0)
                settings.setValue(QString::number(key), processors.at(index).link.value(key));
        }
        settings.endGroup();
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString StationSettings::defaultName(int index)
{
    return QStringLiteral("Processor %1").arg(index + 1);
}

QString StationSettings::folderOf(int index)
{
    return index == 0 ? QString() : groupOf(index);
}
