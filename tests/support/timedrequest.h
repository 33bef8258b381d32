#ifndef TIMEDREQUEST_H
#define TIMEDREQUEST_H

#include <linkrequest.h>

// The request with a time-out of the test's: shorter waits for faults
// meant to be given up, or the short one of an ordinary read.
inline LinkRequest timed(LinkRequest request, int timeoutMs)
{
    request.timeoutMs = timeoutMs;
    return request;
}

#endif // TIMEDREQUEST_H
