#ifndef LINKSETTINGS_H
#define LINKSETTINGS_H

class QString;
class Singleton_SerialPort;

// The link's part of the settings file: the seven link settings, the
// interface language, the data tag and whether a dropped link is tried
// again. Both run in the GUI thread, before
// the link is used and after it was last used.

// Hands the stored settings to the link; isEnglish: 1 English, 0 Chinese.
void readSettings(Singleton_SerialPort *link, const QString &path, int &isEnglish);
// The tag vouches for the data file: when it was not saved, the tag it was
// last saved with stays, and the next connection reads the device instead
// of trusting an older file.
void writeSettings(Singleton_SerialPort *link, const QString &path, int isEnglish, bool dataSaved = true);

#endif // LINKSETTINGS_H
