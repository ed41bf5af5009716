#include "app/ToolImages.h"

#include <QPainter>
#include <QPolygon>

namespace ToolImages {

namespace {

const QColor Ink(0, 0, 0);
const QColor Paper(255, 255, 255);
const QColor Header(0, 0, 128);
const QColor Leave(0, 128, 0);
const QColor Holiday(255, 0, 0);

// A calendar sheet: white page, dark blue heading band, black outline.
void Sheet(QPainter& p, const QRect& r)
{
    p.fillRect(r, Paper);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 3), Header);
    p.setPen(Ink);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void YearCalendar(QPainter& p)
{
    Sheet(p, QRect(0, 1, 16, 14));
    // twelve small month blocks, 4 × 3
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.fillRect(QRect(2 + col * 3, 5 + row * 3, 2, 2), (row == 1 && col == 2) ? Leave : QColor(96, 96, 96));
}

void MonthCalendar(QPainter& p)
{
    Sheet(p, QRect(1, 0, 14, 16));
    // one line per day, a red Sunday line
    for (int i = 0; i < 5; ++i)
        p.fillRect(QRect(3, 5 + i * 2, 10, 1), i == 0 ? Holiday : QColor(96, 96, 96));
    p.fillRect(QRect(3, 5 + 5 * 2, 5, 1), Leave);
}

void HolidayCalendar(QPainter& p)
{
    Sheet(p, QRect(1, 0, 14, 16));
    for (int i = 0; i < 4; ++i) {
        p.fillRect(QRect(3, 5 + i * 3, 2, 2), Leave);
        p.fillRect(QRect(6, 5 + i * 3 + 1, 7, 1), QColor(96, 96, 96));
    }
}

void TotalsList(QPainter& p)
{
    p.fillRect(QRect(1, 1, 14, 14), Paper);
    p.setPen(Ink);
    p.drawRect(QRect(1, 1, 13, 13));
    const int heights[4] = { 5, 9, 7, 11 };
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRect(3 + i * 3, 13 - heights[i], 2, heights[i]), i == 3 ? Leave : Header);
}

void Print(QPainter& p)
{
    p.setPen(Ink);
    p.fillRect(QRect(4, 1, 8, 5), Paper); // paper going in
    p.drawRect(QRect(4, 1, 7, 5));
    p.fillRect(QRect(1, 6, 14, 6), QColor(192, 192, 192)); // body
    p.drawRect(QRect(1, 6, 13, 6));
    p.fillRect(QRect(4, 10, 8, 5), Paper); // printed sheet
    p.drawRect(QRect(4, 10, 7, 5));
    p.fillRect(QRect(12, 8, 1, 1), Leave);
}

void Options(QPainter& p)
{
    // a check box and two sliders
    p.setPen(Ink);
    p.fillRect(QRect(1, 1, 6, 6), Paper);
    p.drawRect(QRect(1, 1, 5, 5));
    p.setPen(QPen(Leave, 1));
    p.drawLine(2, 4, 3, 5);
    p.drawLine(3, 5, 5, 2);
    p.setPen(Ink);
    p.drawLine(1, 10, 14, 10);
    p.drawLine(1, 14, 14, 14);
    p.fillRect(QRect(9, 8, 3, 5), Header);
    p.fillRect(QRect(4, 12, 3, 4), Header);
}

void Help(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Header);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont font;
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Paper);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QPixmap Image(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (index) {
    case 0:
        YearCalendar(p);
        break;
    case 1:
        MonthCalendar(p);
        break;
    case 2:
        HolidayCalendar(p);
        break;
    case 3:
        TotalsList(p);
        break;
    case 4:
        Print(p);
        break;
    case 5:
        Options(p);
        break;
    case 6:
        Help(p);
        break;
    default:
        break;
    }
    return pixmap;
}

QList<QPixmap> All()
{
    QList<QPixmap> images;
    for (int i = 0; i < Count; ++i)
        images << Image(i);
    return images;
}

} // namespace ToolImages
