// A CSV file chosen for the import: any bytes. The reader either refuses
// them as not text or reads every line into a day or a reported problem,
// with line numbers that never go back and never pass the file's last line;
// a two-digit year is read in 1930 to 2029, and no more than the first
// thousand problems are kept.

#include <QByteArray>

#include "FuzzSupport.h"
#include "core/CsvImport.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CsvImport::Result result;
    try {
        result = CsvImport::Parse(bytes);
    } catch (const EConvertError&) {
        return 0;
    }
    const int lines = int(bytes.count('\n') + bytes.count('\r')) + 1;
    int last = 0;
    for (const CsvImport::Day& day : result.Days) {
        FUZZ_CHECK(day.Line > last && day.Line <= lines);
        FUZZ_CHECK(day.Date.isValid());
        FUZZ_CHECK(day.Kind >= 1 && day.Kind <= 10);
        FUZZ_CHECK(!day.TwoDigitYear || (day.Date.year() >= 1930 && day.Date.year() <= 2029));
        last = day.Line;
    }
    FUZZ_CHECK(result.Problems.size() <= size_t(CsvImport::MaxListedProblems));
    FUZZ_CHECK(result.MoreProblems == 0 || result.Problems.size() == size_t(CsvImport::MaxListedProblems));
    for (const CsvImport::Problem& problem : result.Problems)
        FUZZ_CHECK(problem.Line >= 1 && problem.Line <= lines);
    return 0;
}
