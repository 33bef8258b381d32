#ifndef STATIONCLAIM_H
#define STATIONCLAIM_H

// The start of a copy of the program: it claims the folder of its files
// before reading any; when another copy holds it, the operator is told that
// this one will save nothing and how to run a second station instead.
class StationClaim
{
public:
    static void take();
};

#endif // STATIONCLAIM_H
