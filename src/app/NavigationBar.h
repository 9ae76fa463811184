#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace hibi {

// The navigation bar `Panel0`: the year-month caption `Label1` between the
// buttons `btnprv` "前月" and `btnnext` "翌月", each 10 pixels from it.
class NavigationBar : public QFrame
{
    Q_OBJECT

public:
    explicit NavigationBar(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    void setCaptionLook(const QFont &font, const QColor &text, const QColor &background);
    // The caption centred on `outerWidth`, the window's width with its frame,
    // and the buttons beside it.
    void centre(int outerWidth);
    // The caption and the buttons centred from top to bottom.
    void centreVertically();
    // The window's outer width at which the caption of any month, centred, has
    // both buttons whole beside it, with a frame of `frame` pixels.
    int widthForEveryMonth(int frame) const;

signals:
    void previousClicked();
    void nextClicked();

private:
    QPushButton *btnprv;
    QLabel *Label1;
    QPushButton *btnnext;
};

} // namespace hibi
