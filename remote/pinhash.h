#ifndef PINHASH_H
#define PINHASH_H

#include <QString>

// The tablet page's PIN as the settings file keeps it: salted and
// stretched (PBKDF2-SHA256), so that the file never holds the digits.
class PinHash
{
public:
    static constexpr int MinDigits = 4;
    static constexpr int MaxDigits = 12;

    // 4 to 12 digits, nothing else.
    static bool isPin(const QString &text);
    // "pbkdf2-sha256:ROUNDS:SALT:KEY", the last two in Base64.
    static QString make(const QString &pin);
    // False for a stored text that is not one make() gives.
    static bool matches(const QString &stored, const QString &pin);
};

#endif // PINHASH_H
