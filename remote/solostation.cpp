#include "solostation.h"

SoloStation::SoloStation(RemoteActions *actions, const QString &name, QObject *parent)
    : RemoteStation(parent)
    , m_actions(actions)
    , m_name(name)
{
}

// No look to recall: nothing is asked, nothing is reported.
void SoloStation::recallLook(int, const QString &, const Recalled &done)
{
    done({});
}

QString SoloStation::storeLook(const Look &)
{
    return QStringLiteral("looks are kept by a station of several processors only");
}
