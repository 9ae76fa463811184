#pragma once

#include "settings/Colors.h"

#include <QComboBox>

namespace hibi {

// A colour drop-down: the standard and extended colours by name, and a last entry
// for any other colour that opens a colour chooser. A colour not in the list shows
// as that entry.
class ColorBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ColorBox(QWidget *parent = nullptr);

    Color selected() const { return m_color; }
    // Shows a colour without emitting colorChanged.
    void setSelected(Color color);

signals:
    // The user chose a colour.
    void colorChanged(hibi::Color color);

private:
    void onActivated(int index);
    void showCustom(Color color);

    Color m_color = clBlack;
    int m_customIndex = 0;
};

} // namespace hibi
