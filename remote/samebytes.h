#ifndef SAMEBYTES_H
#define SAMEBYTES_H

#include <QByteArray>

// Whether two secrets' digests are the same, in a time that tells nothing
// of where they differ: both are walked whole.
inline bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    int difference = 0;
    for (int i = 0; i < a.size(); ++i)
        difference |= a.at(i) ^ b.at(i);
    return difference == 0;
}

#endif // SAMEBYTES_H
