#ifndef SIMULATORSET_H
#define SIMULATORSET_H

#include "faultoptions.h"
#include "replyform.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

class DeviceSimulator;

// The processors of a venue in one process: each a DeviceSimulator with its
// own model, transports and fault injector. Processors are numbered from 1;
// processor 1 is the one a single simulator plays.
class SimulatorSet : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxProcessors = 8;

    // count is clamped to 1 ... MaxProcessors.
    explicit SimulatorSet(int count, QObject *parent = nullptr);
    ~SimulatorSet() override;

    int count() const { return int(m_processors.size()); }
    DeviceSimulator &processor(int number) const;

    // The k-th file loads processor k, the last one the processors after it.
    bool loadProfiles(const QStringList &paths, QString *error);
    // The faults go to the processors listed, or to all when none is.
    void setFaults(const FaultOptions &options, const QList<int> &faulty = {});
    void setBaudRate(int baud);
    void setReplyForm(const ReplyForm &form);

    // Processor n listens on firstPort + n - 1, or each on a free port when
    // firstPort is 0.
    bool listenTcp(quint16 firstPort, QString *error);
    // Processor 1's symlink is at link, processor n's at link-n.
    bool openPty(const QString &link, QString *error);
    static QString linkPath(const QString &link, int number);
    // Whether firstPort + count - 1 is still a port; 0 (any free port) is.
    static bool portsFit(int firstPort, int count);

private:
    std::vector<std::unique_ptr<DeviceSimulator>> m_processors;
};

#endif // SIMULATORSET_H
