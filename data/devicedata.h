#ifndef DEVICEDATA_H
#define DEVICEDATA_H

#include "incardentry.h"
#include "presetread.h"
#include "windata.h"

#include <blocklayout.h>
#include <devicelimits.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

// The host's copy of the processor's state: card versions, the LED wall,
// the 16 presets, the 32 input card entries and the operator's names.
// Plain data: the link worker announces changes with its own signals.
class DeviceData
{
    Q_DECLARE_TR_FUNCTIONS(DeviceData)

public:
    static constexpr int Presets = Limits::Presets;
    static constexpr int LayerSlots = BlockLayout::LayerSize;
    static constexpr int InCardEntries = Limits::InputEntries;
    static constexpr int NameSlots = 64;

    using Version = std::array<int, 3>;

    // Style sheet of a status lamp and the text of its field.
    struct CardStatus
    {
        QString style;
        QString text;
    };

    DeviceData();

    std::array<Version, Limits::InputSlots> inVersion{};
    std::array<Version, Limits::OutputSlots> outVersion{};
    Version sysVersion{};
    std::array<QString, Presets> modelNames;
    int outMode2 = 0;
    // One entry per column and per row: their sizes are the wall's size.
    QVector<int> colWidths;
    QVector<int> rowHeights;
    int outResolution = 0;
    int outWidth = 0;
    int outHeight = 0;
    std::array<QByteArray, Presets> modelView;
    int curModel = 0;
    std::array<QList<WinData>, Presets> modelWins;
    std::array<std::array<int, LayerSlots>, Presets> modelLayer{};
    std::array<int, Presets> modelWinCount{};
    // Per preset, what the last read from the device found, kept while the
    // host's preset is still that: the verify compares these bytes, which
    // the canvas may not show whole.
    std::array<std::optional<PresetRead>, Presets> presetsAsRead;
    std::array<InCardEntry, InCardEntries> inCards{};
    std::array<QString, NameSlots> inCardNames;
    QStringList signalNames;
    QString configPath = QStringLiteral("./MyConfigure.pd");
    QString namesPath;

    int rows() const { return rowHeights.size(); }
    int cols() const { return colWidths.size(); }
    static bool isValidWallSize(int rows, int cols);
    // Replaces the wall grid; every new column and row takes the given size.
    void setWallSize(int rows, int cols, int width = 1920, int height = 1080);
    void setDefaultWall();
    void setResolution(int code);

    // Channel codes: below 32 a one-channel card; 32-95, 96-159, 160-223 the
    // two channels of HDMI, DVI and SDI two-channel cards.
    static int channelCode(int cardType, int number, int sub = 0);
    static int channelNumber(int code);
    static int channelSub(int code);
    static int nameSlot(int code); // -1 for a code without a name slot
    // Short name of a channel for window lists: In6, In2_HDMI3, In1_DVI2...
    static QString channelName(int code);

    QList<int> channelList() const;
    QList<int> channelSignalList() const;
    QList<int> channelStateList() const;
    QStringList channelLabels(const QList<int> &codes, const QList<int> &signalIndexes) const;
    QString inCardName(int code) const;
    void setInCardName(const QString &name, int code);

    QStringList modelNameList() const;
    QString modelName(int index) const;
    void setModelName(const QString &name, int index);
    void clearModelViews();

    void addWindow(int preset, const QByteArray &block36);
    // The preset as the record's device windows and layers give it.
    PresetRead presetRead(int preset) const;
    void setInCardChunk(int entry, const QByteArray &chunk28);

    static CardStatus cardStatus(const Version &version);
    QList<CardStatus> cardStatusList(int kind) const;

    void setPaths();

    // Data files and the names file; results: 0 nothing chosen, 1 done,
    // 2 cannot be opened, 3 not a data file (reading only).
    int openFile(const QString &name);
    int saveFile(const QString &name);
    // Writes the data beside the data file under a name dated now that no
    // earlier backup has; the path written, empty when it could not be.
    QString saveBackup() const;
    int loadNames();
    int saveNames();
};

#endif // DEVICEDATA_H
