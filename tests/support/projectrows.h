#pragma once

#include "project/keyvalue.h"
#include "project/projectmodel.h"

namespace tervelle::test {

// Gives a header row or a map property the value a project file may hold but the editor refuses
// to take when typed (a line break, an escape character).
inline void putHeaderValue(ProjectModel &model, int row, const QString &value)
{
    QStringList rows = model.headerRows();
    rows[row] = KeyOf(rows[row]) + QLatin1Char('=') + value;
    model.SetHeader(rows, model.headerInfo());
}

inline void putMapPropertyValue(ProjectModel &model, int map, int row, const QString &value)
{
    QStringList rows = model.map(map).Info.Properties;
    rows[row] = KeyOf(rows[row]) + QLatin1Char('=') + value;
    model.CommitMapProperties(map, rows);
}

} // namespace tervelle::test
