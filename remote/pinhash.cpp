#include "pinhash.h"

#include "samebytes.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
constexpr int Rounds = 20000;
constexpr int MaxRounds = 1000000;
constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;

QByteArray derive(const QString &pin, const QByteArray &salt, int rounds)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt, rounds, KeyBytes);
}

} // namespace

bool PinHash::isPin(const QString &text)
{
    if (text.size() < MinDigits || text.size() > MaxDigits)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString PinHash::make(const QString &pin)
{
    quint32 words[SaltBytes / 4];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray salt(reinterpret_cast<const char *>(words), sizeof words);
    return QStringList{Scheme, QString::number(Rounds), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(derive(pin, salt, Rounds).toBase64())}
        .join(QLatin1Char(':'));
}

bool PinHash::matches(const QString &stored, const QString &pin)
{
    const QStringList parts = stored.split(QLatin1Char(':'));
    if (parts.size() != 4 || parts.at(0) != Scheme || !isPin(pin))
        return false;
    bool ok = false;
    const int rounds = parts.at(1).toInt(&ok);
    if (!ok || rounds < 1 || rounds > MaxRounds)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts.at(2).toLatin1());
    const QByteArray key = QByteArray::fromBase64(parts.at(3).toLatin1());
    return key.size() == KeyBytes && sameBytes(derive(pin, salt, rounds), key);
}
