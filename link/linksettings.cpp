#include "linksettings.h"

#include "linklog.h"
#include <protocol.h>
#include "singleton_serialport.h"

#include <settingsfile.h>

void readSettings(int &isEnglish)
{
    const SettingsFile::Contents contents = SettingsFile::read(SettingsFile::path());
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    link->setLinkSettings(contents.linkSettings);
    isEnglish = contents.language;
    if (contents.defaults) {
        // Not our file: keep the tag, only give the last one its 8 bytes.
        link->dm_lastCheckSum = link->dm_lastCheckSum.leftJustified(Protocol::TagSize, '\0');
        return;
    }
    link->dm_lastCheckSum = contents.checkSum;
    link->dm_checkSum = contents.checkSum;
}

void writeSettings(int isEnglish)
{
    const Singleton_SerialPort *link = Singleton_SerialPort::instance();
    SettingsFile::Contents contents;
    contents.linkSettings = link->linkSettings();
    contents.language = isEnglish;
    contents.checkSum = link->dm_lastCheckSum;
    contents.defaults = false;
    SettingsFile::write(SettingsFile::path(), contents);
    qCDebug(lcLink) << "write check sun = " << link->dm_lastCheckSum.toHex();
}
