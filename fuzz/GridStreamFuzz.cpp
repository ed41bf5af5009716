// The stored properties of a colour string grid as they may come from a
// damaged window layout: any bytes. The grid loads them; a stream it cannot
// read must raise one of the program's errors, never crash. What it loaded is written
// out, loaded into a new grid and written again: the two writings must be
// the same bytes. Every value of the stream is also walked by a bare reader.
//
// The combo grid's CellData and CellKind lists are read by code still being
// written; they get their own target when it is done.

#include <QByteArray>

#include "FuzzSupport.h"
#include "platform/FormStream.h"
#include "widgets/StrCGrid.h"

namespace {

QByteArray Store(const TStrColGrid& grid)
{
    TWriter writer;
    grid.WriteProperties(writer);
    writer.WriteListEnd();
    return writer.Data();
}

void WalkValues(const QByteArray& bytes)
{
    TReader reader(bytes);
    try {
        while (!reader.AtEnd()) {
            const qsizetype before = reader.Position();
            if (reader.EndOfList())
                reader.ReadListEnd();
            else
                reader.SkipValue();
            FUZZ_CHECK(reader.Position() > before);
            FUZZ_CHECK(reader.Position() <= bytes.size());
        }
    } catch (const EReadError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    WalkValues(bytes);

    TStrColGrid grid;
    TReader reader(bytes);
    try {
        grid.LoadProperties(reader);
    } catch (const Exception&) {
        // A read error, or a value the grid refuses (a negative column).
        FUZZ_CHECK(!grid.Loading());
        return 0;
    }
    FUZZ_CHECK(!grid.Loading());
    FUZZ_CHECK(reader.Position() <= bytes.size());

    const QByteArray first = Store(grid);
    TStrColGrid again;
    TReader back(first);
    again.LoadProperties(back); // what the grid wrote it must read
    FUZZ_CHECK(back.AtEnd());
    FUZZ_CHECK(Store(again) == first);
    return 0;
}
