// SPDX-License-Identifier: MIT
#include "DurationFormat.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// Far beyond any real duration, small enough to convert to an integer safely.
constexpr double kLimit = 1e15;

// Whole seconds toward zero; values that are not finite count as zero,
// huge ones are held at the limit.
qint64 wholeSeconds(double seconds)
{
    if (!std::isfinite(seconds))
        return 0;
    return qint64(std::trunc(std::clamp(seconds, -kLimit, kLimit)));
}

// The unit texts in the user's language (English: "%1h", "%1m", ...).
QString text(const char *format)
{
    return QCoreApplication::translate("DurationFormat", format);
}

// "<h>h", "<h>h <m>m", or below an hour `minuteFormat` ("%1 min", "%1m").
QString hoursAndMinutes(qint64 minutes, const char *minuteFormat)
{
    if (minutes < 60)
        return text(minuteFormat).arg(minutes);
    const qint64 hours = minutes / 60;
    const qint64 rest = minutes % 60;
    if (rest == 0)
        return text(QT_TRANSLATE_NOOP("DurationFormat", "%1h")).arg(hours);
    return text(QT_TRANSLATE_NOOP("DurationFormat", "%1h %2m")).arg(hours).arg(rest);
}

} // namespace

namespace DurationFormat {

QString countdown(double seconds)
{
    // A countdown never reads zero for an endless time: infinity is held too.
    if (std::isinf(seconds) && seconds > 0)
        seconds = kLimit;
    const qint64 total = std::max<qint64>(0, wholeSeconds(seconds));
    return QStringLiteral("%1:%2")
        .arg(total / 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

qint64 wholeMinutes(double seconds)
{
    return wholeSeconds(seconds) / 60;
}

QString screenLength(double seconds)
{
    return hoursAndMinutes(wholeMinutes(seconds), QT_TRANSLATE_NOOP("DurationFormat", "%1 min"));
}

QString compactLength(double seconds)
{
    return hoursAndMinutes(wholeMinutes(seconds), QT_TRANSLATE_NOOP("DurationFormat", "%1m"));
}

QString sessionLength(double seconds)
{
    const qint64 total = wholeSeconds(seconds);
    const qint64 m = total / 60;
    const qint64 s = total % 60;
    if (m < 1)
        return text(QT_TRANSLATE_NOOP("DurationFormat", "%1s")).arg(s);
    if (s < 1)
        return text(QT_TRANSLATE_NOOP("DurationFormat", "%1m")).arg(m);
    return text(QT_TRANSLATE_NOOP("DurationFormat", "%1m %2s")).arg(m).arg(s);
}

QString focusTotal(double seconds)
{
    const qint64 total = wholeSeconds(seconds);
    const qint64 minutes = (total % 3600) / 60;
    if (total < 3600)
        return text(QT_TRANSLATE_NOOP("DurationFormat", "%1m")).arg(minutes);
    return text(QT_TRANSLATE_NOOP("DurationFormat", "%1h %2m")).arg(total / 3600).arg(minutes);
}

QString spokenLength(double seconds)
{
    const qint64 minutes = std::max<qint64>(0, wholeMinutes(seconds));
    const qint64 hours = minutes / 60;
    const qint64 rest = minutes % 60;
    const auto minutesText = [](qint64 n) {
        return n == 1 ? QCoreApplication::translate("DurationFormat", "1 minute")
                      : QCoreApplication::translate("DurationFormat", "%1 minutes").arg(n);
    };
    if (hours == 0)
        return minutesText(rest);
    const QString hoursText = hours == 1
                                  ? QCoreApplication::translate("DurationFormat", "1 hour")
                                  : QCoreApplication::translate("DurationFormat", "%1 hours").arg(hours);
    if (rest == 0)
        return hoursText;
    //: hours, then minutes: "1 hour 30 minutes"
    return QCoreApplication::translate("DurationFormat", "%1 %2").arg(hoursText, minutesText(rest));
}

std::optional<qint64> parseMinutes(const QString &text)
{
    static constexpr double kMinutesLimit = 1e9;
    const QString typed = text.trimmed().toLower();
    if (typed.isEmpty())
        return std::nullopt;
    const auto number = [](const QString &digits) {
        return std::min(QString(digits).replace(u',', u'.').toDouble(), kMinutesLimit);
    };
    // "1:30": hours and minutes.
    static const QRegularExpression clock(QStringLiteral("^(\\d+):(\\d{1,2})$"));
    if (const QRegularExpressionMatch m = clock.match(typed); m.hasMatch()) {
        const double minutes = number(m.captured(2));
        if (minutes >= 60)
            return std::nullopt;
        return qint64(std::min(number(m.captured(1)) * 60 + minutes, kMinutesLimit));
    }
    // Numbers, each with an optional unit: hours first, then minutes; a last
    // number without a unit counts as minutes ("1h 30", "45").
    static const QRegularExpression part(
        QStringLiteral("\\G\\s*(\\d+(?:[.,]\\d+)?)\\s*(hours?|hrs?|h|stunden?|std\\.?|minute[sn]?|mins?"
                       "\\.?|m)?(?![a-z])"));
    double hours = -1;
    double minutes = -1;
    qsizetype at = 0;
    while (at < typed.size()) {
        const QRegularExpressionMatch m = part.match(typed, at);
        if (!m.hasMatch() || m.capturedLength() == 0)
            return std::nullopt;
        at = m.capturedEnd();
        const bool isHours = m.captured(2).startsWith(u'h') || m.captured(2).startsWith(u's');
        if (isHours && hours < 0 && minutes < 0) {
            hours = number(m.captured(1));
        } else if (!isHours && minutes < 0) {
            if (m.captured(2).isEmpty() && at < typed.size())
                return std::nullopt; // a bare number is only the last part
            minutes = number(m.captured(1));
        } else {
            return std::nullopt;
        }
    }
    const double total = std::max(hours, 0.0) * 60 + std::max(minutes, 0.0);
    return qint64(std::round(std::min(total, kMinutesLimit)));
}

} // namespace DurationFormat
