#include "views/ProgramEvents.h"

TProgramEvents& ProgramEvents()
{
    static TProgramEvents events;
    return events;
}
