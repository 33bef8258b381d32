#ifndef SOLOSTATION_H
#define SOLOSTATION_H

#include "remotestation.h"

// A station of one processor and no looks: a window alone.
class SoloStation : public RemoteStation
{
    Q_OBJECT

public:
    SoloStation(RemoteActions *actions, const QString &name, QObject *parent = nullptr);

    QList<RemoteActions *> processors() const override { return {m_actions}; }
    QStringList names() const override { return {m_name}; }
    int selected() const override { return 0; }
    QList<Look> looks() const override { return {}; }
    void recallLook(int look, const QString &caller, const Recalled &done) override;
    QString storeLook(const Look &look) override;

private:
    RemoteActions *m_actions;
    QString m_name;
};

#endif // SOLOSTATION_H
