// Writes the seed corpora of the fuzz targets into corpus/<target>/: the
// files the tests use, written by the program's own code, so that every
// fuzz run starts from well-formed inputs. Run by hand after a format
// changes: build-asan/fuzz/fuzz_make_seeds fuzz/corpus

#include <cstdio>
#include <limits>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/DataDirectory.h"
#include "platform/FormStream.h"
#include "platform/ShiftJis.h"
#include "widgets/StrCGrid.h"

namespace {

QString out;

void Seed(const char* target, const char* name, const QByteArray& bytes)
{
    QDir().mkpath(out + u'/' + QLatin1String(target));
    QFile file(out + u'/' + QLatin1String(target) + u'/' + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s/%s\n", target, name);
}

QByteArray Records(std::initializer_list<LeaveRecord> records)
{
    QByteArray bytes;
    for (const LeaveRecord& r : records)
        bytes.append(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
    return bytes;
}

QByteArray ReadBack(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void LeaveFiles()
{
    const auto r = [](int y, int m, int d, int k, const QString& memo) { return LeaveRecord::Make(y, m, d, k, memo); };
    Seed("fuzz_leave_file", "empty", QByteArray());
    Seed("fuzz_leave_file", "one-record", Records({ r(2024, 11, 3, 1, QStringLiteral("旅行")) }));
    Seed("fuzz_leave_file", "middle-cleared",
        Records({ r(2024, 4, 1, 1, QStringLiteral("a")), r(2024, 4, 2, 0, QStringLiteral("b")),
            r(2024, 4, 3, 2, QStringLiteral("c")) }));
    Seed("fuzz_leave_file", "duplicate-dates",
        Records({ r(2025, 3, 3, 9, QStringLiteral("first")), r(2025, 3, 3, 5, QStringLiteral("later")) }));
    Seed("fuzz_leave_file", "65-bytes", Records({ r(2024, 5, 4, 7, QString()) }) + QByteArray(1, '\x7f'));
    Seed("fuzz_leave_file", "long-memo",
        Records({ r(2024, 8, 13, 5, QStringLiteral("帰省のため一週間お休みをいただきます")),
            r(2024, 12, 30, 6, QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789")) }));
    Seed("fuzz_leave_file", "every-kind", [&] {
        QByteArray bytes;
        for (int kind = 0; kind <= 10; ++kind)
            bytes += Records({ r(2024, 4 + kind % 9, 1 + kind, kind, QStringLiteral("k%1").arg(kind)) });
        return bytes;
    }());
    QByteArray impossible = Records({ r(2024, 2, 28, 1, QString()) });
    impossible[20] = 13; // month
    impossible[21] = char(-1); // day
    impossible[22] = 42; // kind
    impossible[23] = char(200); // memo length
    Seed("fuzz_leave_file", "impossible-fields", impossible);
    // Stamps: a clear within the kept days and one beyond them, one of
    // unknown time, two of one time from two machines, and the extremes.
    const qint64 day = 24 * 60 * 60 * 1000, now = 1'796'000'000'000; // December 2026
    const auto stamped = [&](LeaveRecord record, qint64 time, uint8_t machine) {
        record.Stamp(time, { 0x10, 0x20, 0x30, 0x40, 0x50, machine });
        return record;
    };
    Seed("fuzz_leave_file", "stamped",
        Records({ stamped(r(2026, 1, 5, 0, QStringLiteral("young")), now - 30 * day, 1),
            stamped(r(2024, 1, 5, 0, QStringLiteral("old")), now - 900 * day, 1), r(2023, 6, 1, 0, QString()),
            stamped(r(2026, 2, 2, 1, QString()), now, 1), stamped(r(2026, 2, 2, 3, QString()), now, 2),
            stamped(r(2026, 2, 3, 4, QString()), std::numeric_limits<qint64>::max(), 0xFF),
            stamped(r(2026, 2, 4, 5, QString()), std::numeric_limits<qint64>::min(), 0) }));
}

void SettingsFiles()
{
    Seed("fuzz_settings", "empty", QByteArray());
    Settings::WriteFirstRunSet();
    Seed("fuzz_settings", "first-run", ReadBack(Settings::FilePath()));
    Settings::WriteWeeklyDayOff(3, true);
    Settings::WriteHolidaysAreDaysOff(true);
    Settings::WriteHolidaysByCurrentLaw(true);
    Settings::WriteCompactAtExit(true);
    Settings::WriteMonthColumnWidths({ 41, 42, 93, 124 });
    Settings::WriteHolidayColumnWidths({ 45, 76, 47, 68, 159 });
    Settings::WriteStartCalendar(2);
    Seed("fuzz_settings", "every-key", ReadBack(Settings::FilePath()));
    Seed("fuzz_settings", "hand-written",
        ShiftJis::FromUnicode(
            QStringLiteral("; 設定\n[start]\n show = 1 \n[Holiday]\n0=x\n6=-1\n7=0x10\n"
                           "[Holiday]\n3=1\r[Size]\r\nHeight=9\r\nMTW0=$20\r\n[Dir]\r\nDir=C:\\長い\\\r\n")));
}

void GridStreams()
{
    const auto store = [](const TStrColGrid& grid) {
        TWriter writer;
        grid.WriteProperties(writer);
        writer.WriteListEnd();
        return writer.Data();
    };
    TStrColGrid empty;
    Seed("fuzz_grid_stream", "empty-grid", store(empty));

    TStrColGrid grid;
    grid.SetColCount(32);
    grid.SetRowCount(13);
    TSCGCellFont* font = grid.Fonts().Add();
    font->SetName(QStringLiteral("見出し"));
    grid.SetCellFontColor(3, 4, 0x0000FF);
    grid.SetCellAlignment(5, 6, taCenter);
    TSCGCellParam* item = grid.CellParams().Add();
    item->SetCaption(QStringLiteral("祝"));
    item->SetCaptionType(ctBottom);
    item->SetColMax(31);
    item->SetCol(1);
    item->SetRowMax(12);
    item->SetRow(2);
    item->SetRangeEnabled(true);
    TBrush brush;
    brush.SetStyle(bsDiagCross);
    item->SetBrush(brush);
    item->SetBrushEnabled(true);
    item->SetFontName(QStringLiteral("見出し"));
    item->SetFontWidth(2);
    item->SetImeMode(imHira);
    item->SetImeModeEnabled(true);
    item->SetLayout(tlBottom);
    item->SetOptions(goRowSelect | goEditing);
    item->SetOptionsEnabled(true);
    item->SetTag(-7);
    grid.SetAlignment(taRightJustify);
    grid.SetFocusDraw(false);
    grid.SetCellDivide(false);
    grid.SetLayout(tlCenter);
    Seed("fuzz_grid_stream", "styled-grid", store(grid));

    TWriter values;
    values.WritePropName(QStringLiteral("Unknown"));
    values.WriteListBegin();
    values.WriteInteger(70000);
    values.WriteInteger(-3);
    values.WriteBoolean(true);
    values.WriteLongString(QByteArray(300, 'a'));
    values.WriteWideString(QStringLiteral("幅"));
    values.WriteUtf8String(QStringLiteral("表"));
    values.WriteSet({ QStringLiteral("goEditing"), QStringLiteral("goTabs") });
    values.WriteBinary(QByteArray("\x01\x02", 2));
    values.WriteListEnd();
    values.WriteListEnd();
    Seed("fuzz_grid_stream", "every-value-kind", values.Data());
}

void Texts()
{
    Seed("fuzz_shiftjis", "japanese", ShiftJis::FromUnicode(QStringLiteral("年度カレンダー　①髙﨑")));
    Seed("fuzz_shiftjis", "half-width", ShiftJis::FromUnicode(QStringLiteral("ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲")));
    Seed("fuzz_shiftjis", "split-lead", QByteArray("abc\x82", 4));
    Seed("fuzz_shiftjis", "invalid", QByteArray("\x80\xa0\xfd\xfe\xff\x81\x7f", 7));
    Seed("fuzz_text", "decimal", QByteArray("0.0%\0\0\0\0\0\0\0\0  -2147483648", 26));
    Seed("fuzz_text", "hex", QByteArray("#,##0\0\0\0\0\0\0\0\0$7FFFFFFF", 22));
    Seed("fuzz_text", "caption", QStringLiteral("0.00;(0.00);'zero'\\1999年12月").toUtf8());
    Seed("fuzz_text", "fiscal", QStringLiteral("0.0E+00\\2024年度").toUtf8());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds <corpus directory>\n");
        return 2;
    }
    out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    SetDataDirectory(dir.path());
    LeaveFiles();
    SettingsFiles();
    GridStreams();
    Texts();
    return 0;
}
