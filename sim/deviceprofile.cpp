#include "deviceprofile.h"

#include "devicemodel.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {

const QStringList CardKinds{QStringLiteral("single"), QStringLiteral("hdmi2"),
                            QStringLiteral("dvi2"), QStringLiteral("sdi2")};

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

CardVersion versionOf(const QJsonValue &value)
{
    const QJsonArray numbers = value.toArray();
    CardVersion version{0, 0, 0xFF};
    for (int i = 0; i < numbers.size() && i < 3; ++i)
        version[size_t(i)] = quint8(numbers.at(i).toInt());
    return version;
}

bool addressOf(const QJsonObject &object, const QString &key, quint32 *address)
{
    if (!object.contains(key))
        return true;
    bool ok = false;
    *address = QHostAddress(object.value(key).toString()).toIPv4Address(&ok);
    return ok;
}

QVector<int> numbersOf(const QJsonValue &value)
{
    QVector<int> numbers;
    const QJsonArray array = value.toArray();
    for (const QJsonValue &number : array)
        numbers.append(number.toInt());
    return numbers;
}

} // namespace

bool DeviceProfile::load(const QString &path, DeviceModel *model, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject())
        return fail(error, QStringLiteral("%1: %2").arg(path, parseError.errorString()));
    DeviceModel loaded;
    if (!read(document.object(), &loaded, error))
        return false;
    *model = loaded;
    return true;
}

bool DeviceProfile::read(const QJsonObject &root, DeviceModel *model, QString *error)
{
    if (root.contains(QLatin1String("system")))
        model->systemVersion = versionOf(root.value(QLatin1String("system")));
    model->currentPreset = root.value(QLatin1String("currentPreset")).toInt();
    if (model->currentPreset < 0 || model->currentPreset >= DeviceModel::PresetCount)
        return fail(error, QStringLiteral("currentPreset out of range"));
    const QByteArray tag = QByteArray::fromHex(root.value(QLatin1String("tag")).toString().toLatin1());
    if (root.contains(QLatin1String("tag")) && tag.size() != DeviceModel::TagSize)
        return fail(error, QStringLiteral("tag is not 8 bytes in hex"));
    if (!tag.isEmpty())
        model->tag = tag;
    return readInputs(root, model, error) && readOutputs(root, model, error)
        && readNetwork(root, model, error) && readWall(root, model, error);
}

// "inputs": [{"slot": 4, "card": "hdmi2", "version": [2, 1, 0],
//             "signal": 1, "signalA": true, "signalB": false}, ...]
bool DeviceProfile::readInputs(const QJsonObject &root, DeviceModel *model, QString *error)
{
    const QJsonArray inputs = root.value(QLatin1String("inputs")).toArray();
    for (const QJsonValue &value : inputs) {
        const QJsonObject input = value.toObject();
        const int slot = input.value(QLatin1String("slot")).toInt(-1);
        const int kind = CardKinds.indexOf(input.value(QLatin1String("card")).toString(QStringLiteral("single")));
        if (slot < 0 || slot >= DeviceModel::EntryCount)
            return fail(error, QStringLiteral("input slot %1 out of range").arg(slot));
        if (kind < 0 || (kind > 0 && slot >= DeviceModel::SlotCount))
            return fail(error, QStringLiteral("input slot %1: unknown or misplaced card").arg(slot));
        InputEntry &entry = model->entries[size_t(slot)];
        entry.fit(quint8(kind), slot < DeviceModel::SlotCount
                      ? versionOf(input.value(QLatin1String("version"))) : NoCardVersion);
        entry.mainSignal = quint8(input.value(QLatin1String("signal")).toInt(entry.mainSignal));
        entry.signalA = input.value(QLatin1String("signalA")).toBool();
        entry.signalB = input.value(QLatin1String("signalB")).toBool();
    }
    return true;
}

// "outputs": [{"slot": 0, "version": [2, 0]}, ...]
bool DeviceProfile::readOutputs(const QJsonObject &root, DeviceModel *model, QString *error)
{
    const QJsonArray outputs = root.value(QLatin1String("outputs")).toArray();
    for (const QJsonValue &value : outputs) {
        const QJsonObject output = value.toObject();
        const int slot = output.value(QLatin1String("slot")).toInt(-1);
        if (slot < 0 || slot >= DeviceModel::OutputCount)
            return fail(error, QStringLiteral("output slot %1 out of range").arg(slot));
        model->outputs[size_t(slot)] = versionOf(output.value(QLatin1String("version")));
    }
    return true;
}

// "network": {"address": "...", "mask": "...", "gateway": "...",
//             "mac": "76-64-77-16-21-2C", "port": 50}
bool DeviceProfile::readNetwork(const QJsonObject &root, DeviceModel *model, QString *error)
{
    const QJsonObject network = root.value(QLatin1String("network")).toObject();
    NetworkSettings &settings = model->network;
    if (!addressOf(network, QStringLiteral("address"), &settings.address)
        || !addressOf(network, QStringLiteral("mask"), &settings.mask)
        || !addressOf(network, QStringLiteral("gateway"), &settings.gateway))
        return fail(error, QStringLiteral("network: not an IPv4 address"));
    if (network.contains(QLatin1String("mac"))) {
        const QByteArray mac = QByteArray::fromHex(network.value(QLatin1String("mac")).toString().toLatin1());
        if (mac.size() != int(settings.mac.size()))
            return fail(error, QStringLiteral("network: the MAC address needs six bytes"));
        std::copy(mac.cbegin(), mac.cend(), settings.mac.begin());
    }
    settings.port = quint16(network.value(QLatin1String("port")).toInt(settings.port));
    return true;
}

// "wall": {"resolution": 6, "outputMode": 0, "widths": [...], "heights": [...]}
bool DeviceProfile::readWall(const QJsonObject &root, DeviceModel *model, QString *error)
{
    if (!root.contains(QLatin1String("wall")))
        return true;
    const QJsonObject wall = root.value(QLatin1String("wall")).toObject();
    const QVector<int> widths = numbersOf(wall.value(QLatin1String("widths")));
    const QVector<int> heights = numbersOf(wall.value(QLatin1String("heights")));
    if (widths.isEmpty() || heights.isEmpty() || widths.size() * heights.size() > WallLayout::MaxCells)
        return fail(error, QStringLiteral("wall: between 1 and %1 screens").arg(WallLayout::MaxCells));
    model->wall.resolution = quint8(wall.value(QLatin1String("resolution")).toInt(model->wall.resolution));
    model->wall.outputMode = quint8(wall.value(QLatin1String("outputMode")).toInt(model->wall.outputMode));
    model->wall.setGrid(widths, heights);
    return true;
}
