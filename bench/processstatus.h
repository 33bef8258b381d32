#ifndef PROCESSSTATUS_H
#define PROCESSSTATUS_H

#include <QtGlobal>

// The kernel's account of this process (/proc/self/status).
namespace ProcessStatus {

// A field given in kB, such as "VmRSS" or "VmHWM"; -1 when not there.
qint64 kilobytes(const char *field);

} // namespace ProcessStatus

#endif // PROCESSSTATUS_H
