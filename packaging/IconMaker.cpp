// Writes the program's icon for the desktop: the fiscal-year calendar sheet
// of the title bar (a white page with a dark blue heading band, a black
// outline and twelve month blocks, one of them green) as SVG and as PNG at
// the usual sizes. Every shape lies on the title-bar image's 16-pixel grid,
// so the 16-pixel PNG is that image pixel for pixel and the larger ones
// scale it with sharp edges.
//
//   valdemor_icons <output folder> <name> <size>...
// writes <folder>/<name>.svg and <folder>/<size>/<name>.png.

#include <cmath>
#include <cstdio>
#include <vector>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>

namespace {

struct Shape {
    int x, y, w, h; // in pixels of the 16-pixel image
    QColor colour;
};

std::vector<Shape> Shapes()
{
    const QColor ink(0, 0, 0);
    const QColor paper(255, 255, 255);
    const QColor header(0, 0, 128);
    const QColor block(96, 96, 96);
    const QColor leave(0, 128, 0);
    std::vector<Shape> shapes {
        { 0, 1, 16, 14, ink }, // the outline: the sheet, then its inside over it
        { 1, 2, 14, 12, paper },
        { 1, 2, 14, 2, header },
    };
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            shapes.push_back({ 2 + col * 3, 5 + row * 3, 2, 2, (row == 1 && col == 2) ? leave : block });
    return shapes;
}

QString Svg()
{
    QString svg
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" viewBox=\"0 0 16 16\" "
                         "shape-rendering=\"crispEdges\">\n"
                         "  <title>Valdemor</title>\n");
    for (const Shape& s : Shapes())
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                   .arg(s.x)
                   .arg(s.y)
                   .arg(s.w)
                   .arg(s.h)
                   .arg(s.colour.name());
    return svg + QStringLiteral("</svg>\n");
}

QImage Png(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Each edge of the grid goes to the nearest pixel edge, so neighbouring
    // shapes meet without gaps at any size.
    const auto edge = [size](int v) { return int(std::lround(v * size / 16.0)); };
    for (const Shape& s : Shapes())
        painter.fillRect(
            QRect(QPoint(edge(s.x), edge(s.y)), QPoint(edge(s.x + s.w) - 1, edge(s.y + s.h) - 1)), s.colour);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <output folder> <name> <size>...\n", argv[0]);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    const QString name = QFile::decodeName(argv[2]);
    QFile svg(folder + u'/' + name + QStringLiteral(".svg"));
    if (!QDir().mkpath(folder) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(Svg().toUtf8()) < 0
        || !svg.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLatin1(argv[i]).toInt();
        const QString dir = folder + u'/' + QString::number(size);
        if (size < 16 || size > 1024 || !QDir().mkpath(dir)
            || !Png(size).save(dir + u'/' + name + QStringLiteral(".png"), "PNG")) {
            std::fprintf(stderr, "cannot write the %s-pixel icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
