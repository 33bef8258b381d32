#include "linkreply.h"

LinkReply::LinkReply(int requests, QObject *parent)
    : QObject(parent)
    , m_pending(requests)
{
}

void LinkReply::requestEnded(Error error)
{
    if (m_pending == 0)
        return;
    if (m_error == NoError)
        m_error = error;
    if (--m_pending > 0)
        return;
    emit finished();
    deleteLater();
}
