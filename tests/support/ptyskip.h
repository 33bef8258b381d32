#ifndef PTYSKIP_H
#define PTYSKIP_H

#include <QtTest>

// The simulator's serial side is a pseudo-terminal, which only Unix has:
// elsewhere the serial cases are left out or skipped.
#ifdef Q_OS_UNIX
constexpr bool HasPty = true;
#define SKIP_WITHOUT_PTY()
#else
constexpr bool HasPty = false;
#define SKIP_WITHOUT_PTY() QSKIP("no pseudo-terminal on this system")
#endif

#endif // PTYSKIP_H
