#include "linksettings.h"

#include "linklog.h"
#include "singleton_serialport.h"

#include <protocol.h>
#include <settingsfile.h>

namespace {

int toNumber(const QString &text)
{
    return text.toInt(nullptr, 10); // 0 for a text that is not a number
}

} // namespace

void readSettings(Singleton_SerialPort *link, const QString &path, int &isEnglish)
{
    const SettingsFile::Contents contents = SettingsFile::read(path);
    link->setLinkSettings(contents.linkSettings);
    link->setReconnects(contents.reconnect);
    isEnglish = contents.language;
    link->postKeptTag(contents.checkSum, contents.defaults);
}

void writeSettings(Singleton_SerialPort *link, const QString &path, int isEnglish, bool dataSaved)
{
    SettingsFile::Contents contents;
    contents.linkSettings = link->linkSettings();
    contents.language = isEnglish;
    contents.checkSum = dataSaved ? link->lastTag() : SettingsFile::read(path).checkSum;
    contents.reconnect = link->reconnects();
    contents.defaults = false;
    SettingsFile::write(path, contents);
    qCDebug(lcLink) << "write check sun = " << contents.checkSum.toHex();
}

// The worker's part: the settings as the file holds them, and the tags kept
// from the last run, which reach the worker handed over. The callers' copy
// of the last tag takes them at once: the settings may be written before
// the worker reports.

void Singleton_SerialPort::postKeptTag(const QByteArray &tag, bool none)
{
    m_activity.setLastTag(none ? m_activity.lastTag().leftJustified(Protocol::TagSize, '\0') : tag);
    m_workerSide->post([this, tag, none] {
        dm_lastCheckSum = none ? dm_lastCheckSum.leftJustified(Protocol::TagSize, '\0') : tag;
        if (!none)
            dm_checkSum = tag;
        reportTag();
    });
}

void Singleton_SerialPort::postForgetTags()
{
    m_activity.setLastTag({});
    m_workerSide->post([this] {
        dm_lastCheckSum.clear();
        dm_checkSum.clear();
        reportTag();
    });
}

bool Singleton_SerialPort::reconnects() const
{
    return m_reconnects;
}

void Singleton_SerialPort::setReconnects(bool reconnects)
{
    m_reconnects = reconnects;
}

QStringList Singleton_SerialPort::linkSettings() const
{
    return {QString::number(dm_linkType), dm_ip, QString::number(dm_port), dm_mask,
            dm_gateway, dm_mac, dm_portName};
}

void Singleton_SerialPort::setLinkSettings(const QStringList &settings)
{
    if (settings.size() < 7) {
        qCWarning(lcLink) << "link settings of" << settings.size() << "entries ignored";
        return;
    }
    setNetSettings(settings);
    dm_portName = settings.at(6);
}

void Singleton_SerialPort::setNetSettings(const QStringList &settings)
{
    if (settings.size() < 6) {
        qCWarning(lcLink) << "network settings of" << settings.size() << "entries ignored";
        return;
    }
    dm_linkType = toNumber(settings.at(0));
    dm_ip = settings.at(1);
    dm_port = toNumber(settings.at(2));
    dm_mask = settings.at(3);
    dm_gateway = settings.at(4);
    dm_mac = settings.at(5);
}

void Singleton_SerialPort::setPortSettings(const QStringList &settings)
{
    if (settings.size() < 2) {
        qCWarning(lcLink) << "serial settings of" << settings.size() << "entries ignored";
        return;
    }
    dm_linkType = toNumber(settings.at(0));
    dm_portName = settings.at(1);
}
