#include "simulatorset.h"

#include "deviceprofile.h"
#include "devicesimulator.h"

#include <QtGlobal>

#include <utility>

SimulatorSet::SimulatorSet(int count, QObject *parent)
    : QObject(parent)
{
    const int clamped = qBound(1, count, MaxProcessors);
    for (int number = 1; number <= clamped; ++number) {
        auto simulator = std::make_unique<DeviceSimulator>();
        simulator->model() = DeviceModel::venueChassis(number);
        m_processors.push_back(std::move(simulator));
    }
}

SimulatorSet::~SimulatorSet() = default;

DeviceSimulator &SimulatorSet::processor(int number) const
{
    Q_ASSERT(number >= 1 && number <= count());
    return *m_processors.at(size_t(number - 1));
}

bool SimulatorSet::loadProfiles(const QStringList &paths, QString *error)
{
    for (int number = 1; number <= count() && !paths.isEmpty(); ++number) {
        const QString &path = paths.at(qMin(number, int(paths.size())) - 1);
        if (!DeviceProfile::load(path, &processor(number).model(), error))
            return false;
    }
    return true;
}

void SimulatorSet::setFaults(const FaultOptions &options, const QList<int> &faulty)
{
    for (int number = 1; number <= count(); ++number)
        processor(number).setFaults(faulty.isEmpty() || faulty.contains(number) ? options : FaultOptions());
}

void SimulatorSet::setBaudRate(int baud)
{
    for (const auto &simulator : m_processors)
        simulator->setBaudRate(baud);
}

void SimulatorSet::setReplyForm(const ReplyForm &form)
{
    for (const auto &simulator : m_processors)
        simulator->setReplyForm(form);
}

bool SimulatorSet::listenTcp(quint16 firstPort, QString *error)
{
    if (!portsFit(firstPort, count())) {
        *error = QStringLiteral("ports %1 to %2 do not exist").arg(firstPort).arg(firstPort + count() - 1);
        return false;
    }
    for (int number = 1; number <= count(); ++number) {
        const quint16 port = firstPort == 0 ? 0 : quint16(firstPort + number - 1);
        if (!processor(number).listenTcp(port)) {
            *error = QStringLiteral("cannot listen on port %1").arg(port);
            return false;
        }
    }
    return true;
}

bool SimulatorSet::openPty(const QString &link, QString *error)
{
    for (int number = 1; number <= count(); ++number) {
        if (!processor(number).openPty(linkPath(link, number))) {
            *error = QStringLiteral("cannot open a pseudo-terminal");
            return false;
        }
    }
    return true;
}

QString SimulatorSet::linkPath(const QString &link, int number)
{
    return link.isEmpty() || number == 1 ? link : QStringLiteral("%1-%2").arg(link).arg(number);
}

bool SimulatorSet::portsFit(int firstPort, int count)
{
    return firstPort >= 0 && (firstPort == 0 || firstPort + count - 1 <= 65535);
}
