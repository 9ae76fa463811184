#include "components/AccessibleTable.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include <map>
#include <utility>

namespace hibi {

QString TableSource::cellDescription(int, int) const
{
    return QString();
}

bool TableSource::cellSelected(int, int) const
{
    return false;
}

bool TableSource::focusCell(int *, int *) const
{
    return false;
}

namespace {

class TableAccessible;

// One cell, or with row −1 a header cell. Cells live as long as their table's
// accessible; a cell beyond the table's present size is invalid.
class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    CellAccessible(TableAccessible *table, int col, int row) : m_table(table), m_col(col), m_row(row) {}

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return m_row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface && m_row >= 0 ? static_cast<QAccessibleTableCellInterface *>(this)
                                                                   : nullptr;
    }

    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override;
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_col; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override;

    int col() const { return m_col; }
    int row() const { return m_row; }

private:
    TableAccessible *m_table;
    int m_col;
    int m_row;
};

class TableAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    TableAccessible(QWidget *widget, const TableSource *source)
        : QAccessibleWidget(widget, QAccessible::Table), m_source(source)
    {
    }
    ~TableAccessible() override
    {
        for (const auto &[place, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    const TableSource &source() const { return *m_source; }
    QWidget *tableWidget() const { return widget(); }

    int columns() const { return m_source->tableColumns(); }
    int rows() const { return m_source->tableRows(); }
    bool contains(int col, int row) const
    {
        return col >= 0 && col < columns() && row >= (m_source->tableHasHeader() ? -1 : 0) && row < rows();
    }
    // The handle of a cell, made when first asked for.
    CellAccessible *cell(int col, int row) const
    {
        if (!contains(col, row))
            return nullptr;
        const auto place = std::make_pair(row, col);
        if (const auto it = m_cells.find(place); it != m_cells.end())
            return static_cast<CellAccessible *>(QAccessible::accessibleInterface(it->second));
        auto *made = new CellAccessible(const_cast<TableAccessible *>(this), col, row);
        m_cells[place] = QAccessible::registerAccessibleInterface(made);
        return made;
    }
    CellAccessible *focused() const
    {
        int col = 0;
        int row = 0;
        return m_source->focusCell(&col, &row) ? cell(col, row) : nullptr;
    }
    int headerCount() const { return m_source->tableHasHeader() ? columns() : 0; }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return m_source->tableName();
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return m_source->tableDescription();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return headerCount() + rows() * columns(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || columns() == 0)
            return nullptr;
        if (index < headerCount())
            return cell(index, -1);
        index -= headerCount();
        return cell(index % columns(), index / columns());
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *c = dynamic_cast<const CellAccessible *>(child);
        if (!c || c->table() != this || !contains(c->col(), c->row()))
            return -1;
        return c->row() < 0 ? c->col() : headerCount() + c->row() * columns() + c->col();
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        for (int row = m_source->tableHasHeader() ? -1 : 0; row < rows(); ++row)
            for (int col = 0; col < columns(); ++col)
                if (m_source->cellBounds(col, row).contains(at))
                    return cell(col, row);
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override { return widget()->hasFocus() ? focused() : nullptr; }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override { return row >= 0 ? cell(column, row) : nullptr; }
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        QList<QAccessibleInterface *> selected;
        for (int row = 0; row < rows(); ++row)
            for (int col = 0; col < columns(); ++col)
                if (m_source->cellSelected(col, row))
                    selected << cell(col, row);
        return selected;
    }
    QString columnDescription(int column) const override
    {
        return m_source->tableHasHeader() && column >= 0 && column < columns() ? m_source->cellName(column, -1)
                                                                                : QString();
    }
    int columnCount() const override { return columns(); }
    QString rowDescription(int) const override { return QString(); }
    int rowCount() const override { return rows(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

    int toldChildren = -1;   // the cells screen readers were last told of

private:
    const TableSource *m_source;
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

bool CellAccessible::isValid() const
{
    return m_table->isValid() && m_table->contains(m_col, m_row);
}

QWindow *CellAccessible::window() const
{
    return m_table->window();
}

QAccessibleInterface *CellAccessible::parent() const
{
    return m_table;
}

QAccessibleInterface *CellAccessible::table() const
{
    return m_table;
}

QString CellAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return QString();
    if (t == QAccessible::Name)
        return m_table->source().cellName(m_col, m_row);
    if (t == QAccessible::Description && m_row >= 0)
        return m_table->source().cellDescription(m_col, m_row);
    return QString();
}

QRect CellAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QRect bounds = m_table->source().cellBounds(m_col, m_row);
    return QRect(m_table->tableWidget()->mapToGlobal(bounds.topLeft()), bounds.size());
}

QAccessible::State CellAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    const QWidget *widget = m_table->tableWidget();
    if (!widget->isVisible() || !widget->rect().intersects(m_table->source().cellBounds(m_col, m_row)))
        s.invisible = s.offscreen = true;
    if (m_row < 0)
        return s;
    s.focusable = widget->focusPolicy() != Qt::NoFocus;
    s.focused = widget->hasFocus() && m_table->focused() == this;
    s.selected = isSelected();
    return s;
}

bool CellAccessible::isSelected() const
{
    return isValid() && m_row >= 0 && m_table->source().cellSelected(m_col, m_row);
}

QList<QAccessibleInterface *> CellAccessible::columnHeaderCells() const
{
    if (!m_table->source().tableHasHeader())
        return {};
    return {m_table->cell(m_col, -1)};
}

QAccessibleInterface *tableFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    const auto *source = dynamic_cast<const TableSource *>(object);
    return widget && source ? new TableAccessible(widget, source) : nullptr;
}

// The table's accessible while screen readers listen; none when none does.
TableAccessible *listening(QWidget *table)
{
    if (!QAccessible::isActive())
        return nullptr;
    return dynamic_cast<TableAccessible *>(QAccessible::queryAccessibleInterface(table));
}

void tell(QAccessibleInterface *iface, QAccessible::Event type)
{
    if (!iface)
        return;
    QAccessibleEvent event(iface, type);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void MakeAccessibleTable(QWidget *widget)
{
    static const bool installed = [] {
        QAccessible::installFactory(tableFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // An accessible asked for while the widget was being built (Qt asks for one
    // with every change it tells of) is a plain widget's, and would stay.
    if (QAccessibleInterface *early = QAccessible::queryAccessibleInterface(widget);
        early && !dynamic_cast<TableAccessible *>(early))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
}

namespace AccessibleTable {

void focusMoved(QWidget *table)
{
    if (TableAccessible *t = listening(table); t && table->hasFocus())
        tell(t->focused(), QAccessible::Focus);
}

void cellChanged(QWidget *table, int col, int row)
{
    if (TableAccessible *t = listening(table))
        tell(t->cell(col, row), QAccessible::NameChanged);
}

void allChanged(QWidget *table)
{
    TableAccessible *t = listening(table);
    if (!t)
        return;
    // Screen readers keep what a cell said until told that it changed.
    if (const int children = t->childCount(); children != t->toldChildren) {
        t->toldChildren = children;
        tell(t, QAccessible::ObjectReorder);
    }
    tell(t, QAccessible::NameChanged);
    tell(t, QAccessible::DescriptionChanged);
    for (int i = 0; i < t->childCount(); ++i)
        tell(t->child(i), QAccessible::NameChanged);
    QAccessibleTableModelChangeEvent reset(table, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
}

void descriptionChanged(QWidget *table)
{
    TableAccessible *t = listening(table);
    if (!t)
        return;
    tell(t, QAccessible::DescriptionChanged);
    if (table->hasFocus())
        tell(t->focused(), QAccessible::DescriptionChanged);
}

} // namespace AccessibleTable

} // namespace hibi
