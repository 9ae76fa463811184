#include "storage/CalendarListModel.h"

#include "storage/Catalogue.h"

#include <algorithm>

namespace hibi {

CalendarListModel::CalendarListModel(QObject *parent)
    : QAbstractListModel(parent), m_names{kFirstCalendarName}
{
}

int CalendarListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant CalendarListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
        return m_names[index.row()];
    return {};
}

void CalendarListModel::reset(const QStringList &names, int selected)
{
    beginResetModel();
    m_names = names.isEmpty() ? QStringList{kFirstCalendarName} : names;
    m_selected = std::clamp(selected, 0, count() - 1);
    endResetModel();
    emit selectionChanged(m_selected);
}

void CalendarListModel::select(int index)
{
    if (index < 0 || index >= count())
        return;
    m_selected = index;
    emit selectionChanged(m_selected);
}

int CalendarListModel::add(const QString &name)
{
    const int at = count();
    beginInsertRows(QModelIndex(), at, at);
    m_names << name;
    endInsertRows();
    return at;
}

void CalendarListModel::rename(int index, const QString &name)
{
    if (index < 0 || index >= count())
        return;
    m_names[index] = name;
    emit dataChanged(this->index(index), this->index(index));
}

void CalendarListModel::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    if (count() == 1) {
        rename(0, kFirstCalendarName);
        return;
    }
    beginRemoveRows(QModelIndex(), index, index);
    m_names.removeAt(index);
    endRemoveRows();
    if (m_selected == index)
        m_selected = count() - 1;
    else if (m_selected > index)
        --m_selected;
    emit selectionChanged(m_selected);
}

int CalendarListModel::indexAfterMove(int index, int from, int to)
{
    if (index == from)
        return to;
    if (from < index && index <= to)
        return index - 1;
    if (to <= index && index < from)
        return index + 1;
    return index;
}

void CalendarListModel::move(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return;
    // Qt's rows move to before the destination: below means one further.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    m_names.move(from, to);
    endMoveRows();
    m_selected = indexAfterMove(m_selected, from, to);
    emit selectionChanged(m_selected);
}

} // namespace hibi
