#include "app/ToolImages.h"

#include <algorithm>

#include <QIcon>
#include <QPainter>

namespace ToolImages {

namespace {

const QColor Ink(0, 0, 0);
const QColor Paper(255, 255, 255);
const QColor Header(0, 0, 128);
const QColor Leave(0, 128, 0);
const QColor Holiday(255, 0, 0);

// A 1-pixel outline on the pixels just inside r. Filled rather than stroked,
// so that on a 2× image it covers exactly 2 device pixels, like the fills.
void Outline(QPainter& p, const QRect& r, const QColor& colour)
{
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), colour);
    p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), colour);
}

// A calendar sheet: white page, dark blue heading band, black outline.
void Sheet(QPainter& p, const QRect& r)
{
    p.fillRect(r, Paper);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 3), Header);
    Outline(p, r, Ink);
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
    Outline(p, QRect(1, 1, 14, 14), Ink);
    const int heights[4] = { 5, 9, 7, 11 };
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRect(3 + i * 3, 13 - heights[i], 2, heights[i]), i == 3 ? Leave : Header);
}

void Print(QPainter& p)
{
    p.fillRect(QRect(4, 1, 8, 6), Paper); // paper going in
    Outline(p, QRect(4, 1, 8, 6), Ink);
    p.fillRect(QRect(1, 6, 14, 7), QColor(192, 192, 192)); // body
    Outline(p, QRect(1, 6, 14, 7), Ink);
    p.fillRect(QRect(4, 10, 8, 6), Paper); // printed sheet
    Outline(p, QRect(4, 10, 8, 6), Ink);
    p.fillRect(QRect(12, 8, 1, 1), Leave);
}

void Options(QPainter& p)
{
    // a check box and two sliders
    p.fillRect(QRect(1, 1, 6, 6), Paper);
    Outline(p, QRect(1, 1, 6, 6), Ink);
    p.setPen(QPen(Leave, 1));
    p.drawLine(2, 4, 3, 5);
    p.drawLine(3, 5, 5, 2);
    p.fillRect(QRect(1, 10, 14, 1), Ink);
    p.fillRect(QRect(1, 14, 14, 1), Ink);
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

QPixmap Pixmap(int index, int scale)
{
    scale = std::clamp(scale, 1, 8);
    // The same drawing at scale × the size: on a 2× image the painter
    // draws in the 16-pixel layout and lays down 2 device pixels for each.
    QPixmap pixmap(Side * scale, Side * scale);
    pixmap.setDevicePixelRatio(scale);
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

QIcon Image(int index)
{
    QIcon icon;
    icon.addPixmap(Pixmap(index, 1));
    icon.addPixmap(Pixmap(index, 2));
    return icon;
}

QList<QIcon> All()
{
    QList<QIcon> images;
    for (int i = 0; i < Count; ++i)
        images << Image(i);
    return images;
}

} // namespace ToolImages
