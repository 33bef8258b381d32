#include "devicedata.h"

#include "appdirectory.h"
#include "datafile.h"
#include "datafiledialog.h"
#include "datalog.h"

#include <devicelimits.h>
#include <resolution.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr int TwoChannelBase = Limits::OneChannelCodes; // first code of the HDMI two-channel cards
constexpr int CodesPerType = 64;
constexpr int LastCode = Limits::LastInputCode;

QString styleOf(int r, int g, int b)
{
    return QStringLiteral("background-color: rgb(%1, %2, %3);").arg(r).arg(g).arg(b);
}

int byteAt(const QByteArray &data, int i)
{
    return static_cast<quint8>(data.at(i));
}

} // namespace

DeviceData::DeviceData()
    : signalNames{QStringLiteral("SDI"),   QStringLiteral("DVI"),   QStringLiteral("VGA"),
                  QStringLiteral("CVBS"),  QStringLiteral("HDMI1"), QStringLiteral("HDMI2"),
                  QStringLiteral("HDMI3"), QStringLiteral("HDMI4"), QStringLiteral("DVI1"),
                  QStringLiteral("DVI2"),  QStringLiteral("DVI3"),  QStringLiteral("DVI4"),
                  QStringLiteral("SDI1"),  QStringLiteral("SDI2"),  QStringLiteral("SDI3"),
                  QStringLiteral("SDI4")}
{
    setDefaultWall();
}

bool DeviceData::isValidWallSize(int rows, int cols)
{
    return rows >= 1 && rows <= Limits::WallSide && cols >= 1 && cols <= Limits::WallSide
        && rows * cols <= Limits::WallCells;
}

void DeviceData::setWallSize(int rows, int cols, int width, int height)
{
    if (!isValidWallSize(rows, cols)) {
        qCWarning(lcData) << "wall of" << rows << "x" << cols << "refused";
        return;
    }
    colWidths = QVector<int>(cols, width);
    rowHeights = QVector<int>(rows, height);
}

void DeviceData::setDefaultWall()
{
    setWallSize(2, 2);
}

void DeviceData::setResolution(int code)
{
    if (const Resolution *resolution = Resolution::byCode(code)) {
        outWidth = resolution->width;
        outHeight = resolution->height;
    }
}

int DeviceData::channelCode(int cardType, int number, int sub)
{
    if (cardType == 0)
        return number;
    return CodesPerType * cardType + 2 * number - TwoChannelBase + sub;
}

int DeviceData::channelNumber(int code)
{
    if (code < TwoChannelBase || code > LastCode)
        return code;
    return ((code - TwoChannelBase) % CodesPerType) / 2;
}

int DeviceData::channelSub(int code)
{
    return code < TwoChannelBase || code > LastCode ? 0 : code & 1;
}

int DeviceData::nameSlot(int code)
{
    const int slot = 2 * channelNumber(code) + channelSub(code);
    return slot >= 0 && slot < NameSlots ? slot : -1;
}

QString DeviceData::channelName(int code)
{
    static const char *const kinds[] = {"_HDMI%1", "_DVI%1", "_SDI%1"};
    int number = code;
    QString suffix;
    if (code >= TwoChannelBase && code <= LastCode) {
        const int offset = (code - TwoChannelBase) % CodesPerType;
        number = offset / 2;
        suffix = QString::fromLatin1(kinds[(code - TwoChannelBase) / CodesPerType]).arg(offset % 4 + 1);
    }
    return QStringLiteral("In%1%2").arg(QString::number(number + 1), suffix);
}

QList<int> DeviceData::channelList() const
{
    QList<int> codes;
    for (const InCardEntry &e : inCards) {
        if (!e.present)
            continue;
        codes << channelCode(e.cardType, e.cardId);
        if (e.cardType != 0)
            codes << channelCode(e.cardType, e.cardId, 1);
    }
    return codes;
}

QList<int> DeviceData::channelSignalList() const
{
    QList<int> signalIndexes;
    for (int k = 0; k < InCardEntries; ++k) {
        const InCardEntry &e = inCards[k];
        if (!e.present)
            continue;
        if (e.cardType == 0) {
            signalIndexes << e.mainSignal;
        } else {
            // Even slots carry channels 1 and 2 of their kind, odd slots 3 and 4.
            const int first = 4 * e.cardType + (k % 2) * 2;
            signalIndexes << first << first + 1;
        }
    }
    return signalIndexes;
}

QList<int> DeviceData::channelStateList() const
{
    // State codes of the source tree icons; 10 more means "no signal".
    const auto state = [](int base, int flag) { return flag == 1 ? base : base + 10; };
    QList<int> states;
    for (int k = 0; k < InCardEntries; ++k) {
        const InCardEntry &e = inCards[k];
        if (!e.present)
            continue;
        if (e.cardType == 0) {
            states << state(e.mainSignal, e.sigFlagA);
        } else {
            const int first = 4 + (k % 2) * 2;
            states << state(first, e.sigFlagA) << state(first + 1, e.sigFlagB);
        }
    }
    return states;
}

QStringList DeviceData::channelLabels(const QList<int> &codes, const QList<int> &signalIndexes) const
{
    QStringList labels;
    for (int i = 0; i < codes.size(); ++i) {
        const QString number = QString::number(channelNumber(codes[i]) + 1);
        const QString signal = signalNames.value(signalIndexes.value(i, -1));
        const QString name = inCardName(codes[i]);
        // One multi-argument arg(): a "%1" typed into a name stays as typed.
        labels << (name.isEmpty() ? tr("In%1_%2").arg(number, signal)
                                  : tr("In%1_%2_%3").arg(number, signal, name));
    }
    return labels;
}

QString DeviceData::inCardName(int code) const
{
    const int slot = nameSlot(code);
    qCDebug(lcData) << "index = " << slot;
    return slot < 0 ? QString() : inCardNames[slot];
}

void DeviceData::setInCardName(const QString &name, int code)
{
    const int slot = nameSlot(code);
    qCDebug(lcData) << "index = " << slot;
    if (slot < 0) {
        qCWarning(lcData) << "channel code" << code << "has no name slot";
        return;
    }
    inCardNames[slot] = name;
}

QStringList DeviceData::modelNameList() const
{
    return QStringList(modelNames.begin(), modelNames.end());
}

QString DeviceData::modelName(int index) const
{
    return index >= 0 && index < Presets ? modelNames[index] : QString();
}

void DeviceData::setModelName(const QString &name, int index)
{
    if (index >= 0 && index < Presets)
        modelNames[index] = name;
}

void DeviceData::clearModelViews()
{
    for (QByteArray &view : modelView)
        view.clear();
}

void DeviceData::addWindow(int preset, const QByteArray &block36)
{
    if (preset < 0 || preset >= Presets || block36.size() < WinData::BlockSize) {
        qCWarning(lcData) << "window block of" << block36.size() << "bytes for preset"
                          << preset << "ignored";
        return;
    }
    modelWins[preset].append(WinData::fromBlock(block36));
}

PresetRead DeviceData::presetRead(int preset) const
{
    return {modelWins[size_t(preset)], modelLayer[size_t(preset)]};
}

void DeviceData::setInCardChunk(int entry, const QByteArray &chunk28)
{
    constexpr int ChunkSize = 28;
    if (entry < 0 || entry >= InCardEntries || chunk28.size() < ChunkSize) {
        qCWarning(lcData) << "input card chunk of" << chunk28.size() << "bytes for entry"
                          << entry << "ignored";
        return;
    }
    InCardEntry &e = inCards[entry];
    e.cardId = byteAt(chunk28, 0);
    // Only a two-channel card reports its presence here; the device status
    // reports it for the others.
    if (e.cardType != 0)
        e.present = byteAt(chunk28, 1);
    e.mainSignal = byteAt(chunk28, 2);
    e.auxSignal = byteAt(chunk28, 3);
    e.mode = byteAt(chunk28, 4);
    e.light = byteAt(chunk28, 5);
    e.contrast = byteAt(chunk28, 6);
    e.color = byteAt(chunk28, 7);
    for (int i = 0; i < 4; ++i) {
        e.captionValues[i] = byteAt(chunk28, 8 + i);
        e.rectA[i] = byteAt(chunk28, 12 + 2 * i) | byteAt(chunk28, 13 + 2 * i) << 8;
        e.rectB[i] = byteAt(chunk28, 20 + 2 * i) | byteAt(chunk28, 21 + 2 * i) << 8;
    }
}

DeviceData::CardStatus DeviceData::cardStatus(const Version &version)
{
    const int first = version[0];
    const int second = version[1];
    const int third = version[2];
    if ((first == 255 && second == 255 && (third == 255 || third == -1))
        || (first < 0 && second == 0))
        return {styleOf(255, 0, 0), QStringLiteral("No card")};

    const QString green = styleOf(0, 255, 0);
    switch (first) {
    case -1:
        return {green, QStringLiteral("HDMI")};
    case -2:
        return {green, QStringLiteral("DVI")};
    case -3:
        return {green, QStringLiteral("SDI")};
    default:
        break;
    }
    if (third == -1)
        return {green, QStringLiteral("V%1.%2").arg(first).arg(second)};
    return {green, QStringLiteral("V%1.%2.%3").arg(first).arg(second).arg(third)};
}

QList<DeviceData::CardStatus> DeviceData::cardStatusList(int kind) const
{
    QList<CardStatus> list;
    switch (kind) {
    case 0:
        for (const Version &v : inVersion)
            list << cardStatus(v);
        break;
    case 1:
        for (const Version &v : outVersion)
            list << cardStatus(v);
        break;
    default:
        list << cardStatus(sysVersion);
        break;
    }
    return list;
}

void DeviceData::setPaths()
{
    configPath = AppDirectory::filePath(QStringLiteral("MyConfigure.pd"));
    namesPath = AppDirectory::filePath(QStringLiteral("MyNames.pd"));
}

int DeviceData::openFile(const QString &name)
{
    const QString path = name.isEmpty() ? DataFileDialog::openPath() : configPath;
    if (path.isEmpty())
        return DataFile::NothingChosen;
    return DataFile::read(path, DataFile::Data, *this);
}

int DeviceData::saveFile(const QString &name)
{
    const QString path = name.isEmpty() ? DataFileDialog::savePath() : configPath;
    if (path.isEmpty())
        return DataFile::NothingChosen;
    return DataFile::write(path, DataFile::Data, *this);
}

QString DeviceData::saveBackup() const
{
    const QFileInfo data(configPath);
    const QString stem = data.dir().filePath(
        data.completeBaseName() + QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmmss")));
    QString path = stem + QStringLiteral(".pd");
    for (int n = 2; QFile::exists(path); ++n)
        path = QStringLiteral("%1-%2.pd").arg(stem).arg(n);
    return DataFile::write(path, DataFile::Data, *this) == DataFile::Done ? path : QString();
}

int DeviceData::loadNames()
{
    return DataFile::read(namesPath, DataFile::Names, *this);
}

int DeviceData::saveNames()
{
    return DataFile::write(namesPath, DataFile::Names, *this);
}
