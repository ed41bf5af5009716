#pragma once

// Compares two pictures pixel by pixel and says where they differ, so that a
// failed comparison names a place instead of printing two image objects.

#include <string>

#include <QImage>
#include <QString>

// Empty when a and b hold the same pixels at the same size; otherwise the
// number of differing pixels and the first of them (in device pixels).
inline std::string ImageDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes %1×%2 and %3×%4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height())
            .toStdString();
    int count = 0;
    QString first;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y);
            const QRgb pb = b.pixel(x, y);
            if (qRed(pa) == qRed(pb) && qGreen(pa) == qGreen(pb) && qBlue(pa) == qBlue(pb))
                continue;
            if (count++ == 0)
                first = QStringLiteral("(%1, %2): #%3 and #%4")
                            .arg(x)
                            .arg(y)
                            .arg(pa & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                            .arg(pb & 0xFFFFFF, 6, 16, QLatin1Char('0'));
        }
    if (count == 0)
        return {};
    return QStringLiteral("%1 pixels differ, the first at %2").arg(count).arg(first).toStdString();
}
