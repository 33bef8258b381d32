#ifndef OSCBYTES_H
#define OSCBYTES_H

#include <QByteArray>

#include <lo/lo.h>

#include <cstdarg>
#include <cstdlib>

// An OSC message as liblo writes it: liblo's types, then the arguments,
// then LO_ARGS_END.
inline QByteArray oscBytes(const char *path, const char *types, ...)
{
    lo_message message = lo_message_new();
    va_list args;
    va_start(args, types);
    lo_message_add_varargs(message, types, args);
    va_end(args);
    size_t size = 0;
    void *bytes = lo_message_serialise(message, path, nullptr, &size);
    QByteArray out(static_cast<const char *>(bytes), int(size));
    free(bytes);
    lo_message_free(message);
    return out;
}

#endif // OSCBYTES_H
