#ifndef LINKFUZZENTRY_H
#define LINKFUZZENTRY_H

#include <cstddef>
#include <cstdint>

// Feeds one input to the reply assembly and the reply parser.
//
// Byte 0 picks the request in flight (a preset read alternates 0x1A and
// 0x1B as the device's replies come in), byte 1 the number of parameter
// bytes of that request and byte 2 the size of the pieces the stream
// arrives in; then come the parameters and the byte stream.
void feedLinkInput(const std::uint8_t *data, std::size_t size);

#endif // LINKFUZZENTRY_H
