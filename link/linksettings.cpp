#include "linksettings.h"

#include "linklog.h"
#include "singleton_serialport.h"

#include <settingsfile.h>

void readSettings(int &isEnglish)
{
    const SettingsFile::Contents contents = SettingsFile::read(SettingsFile::path());
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    link->setLinkSettings(contents.linkSettings);
    link->setReconnects(contents.reconnect);
    isEnglish = contents.language;
    link->postKeptTag(contents.checkSum, contents.defaults);
}

void writeSettings(int isEnglish, bool dataSaved)
{
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    SettingsFile::Contents contents;
    contents.linkSettings = link->linkSettings();
    contents.language = isEnglish;
    contents.checkSum = dataSaved ? link->lastTag() : SettingsFile::read(SettingsFile::path()).checkSum;
    contents.reconnect = link->reconnects();
    contents.defaults = false;
    SettingsFile::write(SettingsFile::path(), contents);
    qCDebug(lcLink) << "write check sun = " << contents.checkSum.toHex();
}
