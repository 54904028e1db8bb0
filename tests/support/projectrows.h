#pragma once

#include "project/keyvalue.h"
#include "project/projectmodel.h"

namespace tervelle::test {

// Gives a header row or a map property the text a project file may hold but the editor refuses
// to take when typed (a line break, an escape character, a character the code page lacks).
inline void putHeaderValue(ProjectModel &model, int row, const QString &value)
{
    QStringList rows = model.headerRows();
    rows[row] = KeyOf(rows[row]) + QLatin1Char('=') + value;
    model.SetHeader(rows, model.headerInfo());
}

inline void appendHeaderRow(ProjectModel &model, const QString &row)
{
    QVector<THeaderKeyInfo> info = model.headerInfo();
    info.append(THeaderKeyInfo{TextKey});
    model.SetHeader(model.headerRows() + QStringList{row}, info);
}

// Changes the model's pack fields as `edit` says, as the wizard's Finish does.
template <typename Edit>
void editPack(ProjectModel &model, Edit &&edit)
{
    PackProperties pack = model.packProperties();
    edit(pack);
    model.setPackProperties(pack);
}

inline void putMapPropertyValue(ProjectModel &model, int map, int row, const QString &value)
{
    QStringList rows = model.map(map).Info.Properties;
    rows[row] = KeyOf(rows[row]) + QLatin1Char('=') + value;
    model.CommitMapProperties(map, rows);
}

} // namespace tervelle::test
