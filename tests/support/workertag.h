#ifndef WORKERTAG_H
#define WORKERTAG_H

#include <handover.h>
#include <singleton_serialport.h>

#include <QByteArray>

// The data tag the worker carries in its write requests, read in the
// worker's thread.
inline QByteArray workerTag(Singleton_SerialPort *link)
{
    QByteArray tag;
    link->workerSide()->await([link, &tag] { tag = link->dm_checkSum; });
    return tag;
}

#endif // WORKERTAG_H
