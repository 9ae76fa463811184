#pragma once

#include <QFrame>

class QAbstractItemModel;
class QComboBox;

namespace hibi {

class UpDown;

// The name bar `Panel1` under the tool bar: the calendar list `cbox1` and, at
// its right end, the spinner `UpDown1` that sets the list's font size (its up
// arrow makes the names smaller).
class NameBar : public QFrame
{
    Q_OBJECT

public:
    NameBar(QAbstractItemModel *calendars, QWidget *parent = nullptr);

    QComboBox *list() const { return cbox1; }
    UpDown *sizer() const { return UpDown1; }
    // The list's font size in points, as the spinner sets it.
    int listPointSize() const;
    void setListPointSize(int points);
    // The bar as high as the list plus 4, the spinner as the list.
    void fitHeight();

signals:
    void calendarChosen(int index);
    void listSizeChosen();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QComboBox *cbox1;
    UpDown *UpDown1;
};

} // namespace hibi
