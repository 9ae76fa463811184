#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace hibi {

// The calendar list: the calendars' names in the user's order and the one that
// is selected. The main window's list box and the bulk input show it; every
// change of the list goes through here.
class CalendarListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CalendarListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QStringList &names() const { return m_names; }
    int count() const { return int(m_names.size()); }
    QString name(int index) const { return m_names.value(index); }
    // The entry of exactly this name, or -1.
    int indexOf(const QString &name) const { return int(m_names.indexOf(name)); }

    int selected() const { return m_selected; }
    QString selectedName() const { return name(m_selected); }

    // The whole list at once, as built at start.
    void reset(const QStringList &names, int selected);
    void select(int index);
    // A new calendar joins the end of the list; returns its place.
    int add(const QString &name);
    void rename(int index, const QString &name);
    // The entry goes; the last one left is renamed to the first calendar's name
    // instead, so the list is never empty. The selection stays on its calendar,
    // or moves to the last entry when it was the one removed.
    void remove(int index);
    // Moves an entry to another place; the selected calendar stays selected.
    void move(int from, int to);

    // Where the entry at `index` stands after `from` was moved to `to`.
    static int indexAfterMove(int index, int from, int to);

signals:
    void selectionChanged(int index);

private:
    QStringList m_names;
    int m_selected = 0;
};

} // namespace hibi
