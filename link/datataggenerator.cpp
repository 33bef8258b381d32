#include "datataggenerator.h"

#include <protocol.h>

DataTagGenerator::DataTagGenerator()
    : m_random(QRandomGenerator::system()->generate())
{
}

QByteArray DataTagGenerator::next()
{
    QByteArray tag(Protocol::TagSize, '\0');
    for (char &byte : tag)
        byte = static_cast<char>(m_random.bounded(255));
    return tag;
}
