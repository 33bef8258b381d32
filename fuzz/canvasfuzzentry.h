#ifndef CANVASFUZZENTRY_H
#define CANVASFUZZENTRY_H

#include <cstddef>
#include <cstdint>

// Feeds one input to the canvas file reader.
//
// Byte 0 picks the wall the canvas shows (one of four); the rest is canvas
// data as fileSave writes it. Whatever the reader accepts must write back
// to the same bytes and give device blocks of the right sizes. Returns
// whether the reader accepted the data.
bool feedCanvasInput(const std::uint8_t *data, std::size_t size);

#endif // CANVASFUZZENTRY_H
