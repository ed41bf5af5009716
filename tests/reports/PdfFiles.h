#pragma once

// Reading a printed PDF back with poppler's tools: its page count, the
// size of a page and the text of a page.

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace PdfFiles {

inline QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int Pages(const QString& path)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s*(\\d+)"), QRegularExpression::MultilineOption);
    return pages.match(Run(QStringLiteral("pdfinfo"), { path })).captured(1).toInt();
}

// The size of the first page in points.
inline QSizeF PageSize(const QString& path)
{
    const QRegularExpression size(
        QStringLiteral("^Page size:\\s*([0-9.]+) x ([0-9.]+)"), QRegularExpression::MultilineOption);
    const auto match = size.match(Run(QStringLiteral("pdfinfo"), { path }));
    return QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
}

inline QString Title(const QString& path)
{
    const QRegularExpression title(QStringLiteral("^Title:\\s*(.*)$"), QRegularExpression::MultilineOption);
    return title.match(Run(QStringLiteral("pdfinfo"), { path })).captured(1).trimmed();
}

// The text of one page (from 1), laid out as on the page.
inline QString PageText(const QString& path, int page)
{
    const QString n = QString::number(page);
    return Run(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, path, QStringLiteral("-") });
}

struct Word {
    QString text;
    double left = 0, top = 0; // points from the page's top-left corner
};

// The words of one page (from 1) with their places.
inline QList<Word> Words(const QString& path, int page)
{
    const QString n = QString::number(page);
    const QString html = Run(QStringLiteral("pdftotext"),
        { QStringLiteral("-bbox"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, path, QStringLiteral("-") });
    const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({ m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble() });
    }
    return words;
}

} // namespace PdfFiles
