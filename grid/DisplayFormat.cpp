#include "DisplayFormat.h"

#include "SqlDialect.h"

#include <QLocale>
#include <QtMath>
#include <cmath>

namespace Quellon::DisplayFormat {

bool isDateFormat(const QString &format)
{
    if (format.contains(QLatin1Char('0')) || format.contains(QLatin1Char('#')))
        return false;
    const QString f = format.toLower();
    return f.contains(QLatin1Char('y')) || f.contains(QLatin1Char('d')) || f.contains(QLatin1Char('h'));
}

QString formatNumber(double value, const QString &format)
{
    if (format.isEmpty())
        return QLocale::c().toString(value, 'g', 15);
    const auto isPattern = [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',');
    };
    int first = -1;
    int last = -1;
    for (int i = 0; i < format.size(); ++i) {
        if (isPattern(format.at(i))) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return format; // a pure literal
    const QString prefix = format.left(first);
    const QString suffix = format.mid(last + 1);
    const QString pattern = format.mid(first, last - first + 1);
    const int point = pattern.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? pattern : pattern.left(point);
    const QString decPart = point < 0 ? QString() : pattern.mid(point + 1);
    const bool thousands = intPart.contains(QLatin1Char(','));
    const int minInt = int(intPart.count(QLatin1Char('0')));
    const int minDec = int(decPart.count(QLatin1Char('0')));
    const int maxDec = minDec + int(decPart.count(QLatin1Char('#')));

    const bool negative = value < 0;
    QString digits = QString::number(std::fabs(value), 'f', maxDec);
    QString intDigits = digits;
    QString decDigits;
    if (maxDec > 0) {
        const int dot = int(digits.indexOf(QLatin1Char('.')));
        intDigits = digits.left(dot);
        decDigits = digits.mid(dot + 1);
        while (decDigits.size() > minDec && decDigits.endsWith(QLatin1Char('0')))
            decDigits.chop(1);
    }
    if (intDigits == QLatin1String("0") && minInt == 0)
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(QLatin1Char('0'));
    if (thousands) {
        for (int i = int(intDigits.size()) - 3; i > 0; i -= 3)
            intDigits.insert(i, QLatin1Char(','));
    }
    const bool allZero = !std::any_of(intDigits.cbegin(), intDigits.cend(), [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); })
                         && !std::any_of(decDigits.cbegin(), decDigits.cend(), [](QChar c) { return c != QLatin1Char('0'); });
    QString out = (negative && !allZero) ? QStringLiteral("-") : QString();
    out += prefix + intDigits;
    if (!decDigits.isEmpty())
        out += QLatin1Char('.') + decDigits;
    return out + suffix;
}

namespace {
// Turns the stored date notation into Qt's: m is a month except right after
// an hour, n a minute.
QString qtDateFormat(const QString &format)
{
    QString out;
    bool afterHour = false;
    for (int i = 0; i < format.size();) {
        const QChar c = format.at(i).toLower();
        int run = 1;
        while (i + run < format.size() && format.at(i + run).toLower() == c)
            ++run;
        if (c == QLatin1Char('y')) {
            out += QString(run <= 2 ? 2 : 4, QLatin1Char('y'));
        } else if (c == QLatin1Char('m')) {
            out += QString(qMin(run, 2), afterHour ? QLatin1Char('m') : QLatin1Char('M'));
            afterHour = false;
        } else if (c == QLatin1Char('n')) {
            out += QString(qMin(run, 2), QLatin1Char('m'));
        } else if (c == QLatin1Char('d') || c == QLatin1Char('s')) {
            out += QString(qMin(run, 2), c);
        } else if (c == QLatin1Char('h')) {
            out += QString(qMin(run, 2), QLatin1Char('h'));
            afterHour = true;
        } else {
            out += QLatin1Char('\'') + format.mid(i, run) + QLatin1Char('\'');
        }
        i += run;
    }
    return out;
}
} // namespace

QDateTime storedDate(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.metaType().id() != QMetaType::QString)
        return {};
    const QString text = value.toString();
    // yyyy-MM-dd, optionally followed by a time.
    if (text.size() < 10 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-'))
        return {};
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return {};
    QTime time(0, 0);
    if (text.size() >= 19) {
        time = QTime::fromString(text.mid(11, 8), QStringLiteral("hh:mm:ss"));
        if (!time.isValid())
            time = QTime(0, 0);
    }
    return QDateTime(date, time);
}

QString formatDate(const QDateTime &moment, const QString &format)
{
    if (!moment.isValid() || SqlDialect::displaysAsEmpty(moment.date()))
        return {};
    if (!isDateFormat(format))
        return moment.date().toString(QStringLiteral("yyyy-MM-dd"));
    return moment.toString(qtDateFormat(format));
}

QString format(const QVariant &value, const QString &format)
{
    if (value.isNull())
        return {};
    const QDateTime moment = storedDate(value);
    if (moment.isValid())
        return formatDate(moment, format);
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        if (!format.isEmpty() && !isDateFormat(format))
            return formatNumber(value.toDouble(), format);
        if (value.metaType().id() == QMetaType::Double)
            return QLocale::c().toString(value.toDouble(), 'g', 15);
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    default:
        return value.toString();
    }
}

} // namespace Quellon::DisplayFormat
