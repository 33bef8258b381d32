#include "trimtables.h"

#include "wallmodel.h"

QList<int> TrimTables::sections(const WallModel &model, int id)
{
    QList<int> table;
    if (!model.contains(id))
        return table;
    const int channel = model.window(id).channel;
    for (const WindowSection &s : model.sections(id)) {
        table << s.screen << channel << s.input.x() << s.input.y() << s.input.width()
              << s.input.height() << s.output.x() << s.output.y() << s.output.width()
              << s.output.height();
    }
    return table;
}

QList<int> TrimTables::rectangles(const WallModel &model, int id)
{
    if (!model.contains(id))
        return {};
    const WallWindow &w = model.window(id);
    const QRect bounds = model.grid().bounds();
    return {id, w.rect.x(), w.rect.y(), w.rect.width(), w.rect.height(), bounds.width(), bounds.height(),
            w.source.x(), w.source.y(), w.source.width(), w.source.height()};
}
