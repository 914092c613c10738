#include "model/Task.h"

TTask::TTask(bool done, QByteArray description, QByteArray notes, QByteArray startDate,
             QByteArray endDate)
    : Done(done), Description(std::move(description)), Notes(std::move(notes)),
      StartDate(std::move(startDate)), EndDate(std::move(endDate))
{
}
