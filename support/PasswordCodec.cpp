#include "PasswordCodec.h"

#include <QByteArray>

namespace Quellon {

namespace {
const QByteArray Prefix = QByteArrayLiteral("QK1$");

// A fixed key stream; position-dependent so repeated characters do not repeat.
char keyByte(int i)
{
    static const QByteArray key = QByteArrayLiteral("Quellon-OperList-Key");
    quint32 x = quint32(i) * 2654435761u + quint8(key.at(i % key.size()));
    x ^= x >> 13;
    return char(x & 0xff);
}

QByteArray scramble(QByteArray bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(bytes.at(i) ^ keyByte(i));
    return bytes;
}
} // namespace

QString encodePassword(const QString &plain)
{
    const QByteArray body = scramble(plain.toUtf8()).toBase64(QByteArray::Base64UrlEncoding);
    return QString::fromLatin1(Prefix + body);
}

QString decodePassword(const QString &stored, bool *ok)
{
    if (ok)
        *ok = false;
    const QByteArray raw = stored.toLatin1();
    if (!stored.startsWith(QString::fromLatin1(Prefix)) || QString::fromLatin1(raw) != stored)
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(raw.mid(Prefix.size()),
                                                        QByteArray::Base64UrlEncoding
                                                            | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return {};
    const QByteArray bytes = scramble(*decoded);
    const QString plain = QString::fromUtf8(bytes);
    if (plain.toUtf8() != bytes) // not valid UTF-8: not something encodePassword wrote
        return {};
    if (ok)
        *ok = true;
    return plain;
}

} // namespace Quellon
