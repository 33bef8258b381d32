#ifndef DEVICEPROFILE_H
#define DEVICEPROFILE_H

#include <QString>

class DeviceModel;
class QJsonObject;

// Reads a chassis description from a JSON file (see profiles/example.json).
// The file describes a whole device: slots it does not list are empty,
// sections it leaves out keep their factory values.
class DeviceProfile
{
public:
    // Replaces *model only when the whole file reads correctly.
    static bool load(const QString &path, DeviceModel *model, QString *error = nullptr);

private:
    static bool read(const QJsonObject &root, DeviceModel *model, QString *error);
    static bool readInputs(const QJsonObject &root, DeviceModel *model, QString *error);
    static bool readOutputs(const QJsonObject &root, DeviceModel *model, QString *error);
    static bool readNetwork(const QJsonObject &root, DeviceModel *model, QString *error);
    static bool readWall(const QJsonObject &root, DeviceModel *model, QString *error);
};

#endif // DEVICEPROFILE_H
