#include "util/RandomDraw.h"

#include <QRandomGenerator>
#include <utility>

namespace {

TRandomSource &InstalledSource()
{
    static TRandomSource source;
    return source;
}

} // namespace

int DrawIndex(int count)
{
    if (count <= 1)
        return 0;
    if (const TRandomSource &source = InstalledSource()) {
        const int index = source(count) % count;
        return index < 0 ? index + count : index;
    }
    return int(QRandomGenerator::global()->bounded(count));
}

void SetRandomSource(TRandomSource source)
{
    InstalledSource() = std::move(source);
}
