#ifndef DATATAGGENERATOR_H
#define DATATAGGENERATOR_H

#include <QByteArray>
#include <QRandomGenerator>

// Makes the 8-byte data tags that write requests carry. Seeded from the
// system, so two runs do not repeat each other's tags; every byte is 0 to
// 254, as the device expects.
class DataTagGenerator
{
public:
    DataTagGenerator();

    QByteArray next();

private:
    QRandomGenerator m_random;
};

#endif // DATATAGGENERATOR_H
