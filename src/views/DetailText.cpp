#include "views/DetailText.h"

#include <QDateTime>
#include <QTimeZone>

namespace pelsid {

QString detailCharacters(const std::uint8_t* bytes, int length) {
    QString text(std::max(length, 0), QLatin1Char('.'));
    QChar* out = text.data();
    for (int i = 0; i < length; ++i)
        if (bytes[i] >= 33 && bytes[i] <= 126) out[i] = QLatin1Char(char(bytes[i]));
    return text;
}

QString detailHex(const std::uint8_t* bytes, int length) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString text(4 * std::max(length, 0), QLatin1Char(' '));
    QChar* out = text.data();
    for (int i = 0; i < length; ++i) {
        out[4 * i] = QLatin1Char(kDigits[bytes[i] >> 4]);
        out[4 * i + 1] = QLatin1Char(kDigits[bytes[i] & 15]);
    }
    return text;
}

QString detailTime(const CaptureTime& time) {
    if (!time.known) return QStringLiteral("capture time unknown");
    const int decimals = std::min<int>(time.decimals, 9);
    const QString fraction =
        decimals == 0 ? QString()
                      : QStringLiteral(".") +
                            QString::number(1000000000u + time.nanoseconds).mid(1, decimals);
    const QDateTime at = QDateTime::fromSecsSinceEpoch(time.seconds, QTimeZone::utc());
    return QStringLiteral("captured %1%2 UTC")
        .arg(at.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), fraction);
}

}  // namespace pelsid
