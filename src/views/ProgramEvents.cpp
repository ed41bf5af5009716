#include "views/ProgramEvents.h"

TProgramEvents& ProgramEvents()
{
    static TProgramEvents events;
    return events;
}

void FollowDataFile(QObject* context, const std::function<void()>& follow)
{
    QObject::connect(&ProgramEvents(), &TProgramEvents::daySaved, context, follow);
    QObject::connect(&ProgramEvents(), &TProgramEvents::daysSaved, context, follow);
    QObject::connect(&ProgramEvents(), &TProgramEvents::dataReplaced, context, follow);
}
