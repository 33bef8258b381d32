#ifndef REMOTEFUZZENTRY_H
#define REMOTEFUZZENTRY_H

#include <cstddef>
#include <cstdint>

// Feeds one input to the remote control's request decoders.
//
// Byte 0 picks the decoder: even, a JSON-RPC message; odd, an OSC
// datagram. The rest is the message. A call the decoder takes must be
// within the ranges the dispatcher relies on, and a refusal must carry one
// of the documented codes; a reply of ours is neither. Returns whether the
// call was taken.
bool feedRemoteInput(const std::uint8_t *data, std::size_t size);

#endif // REMOTEFUZZENTRY_H
