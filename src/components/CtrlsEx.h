#pragma once

#include "components/DrawGrid.h"

#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace hibi {

enum TButtonExStyle { bsStandard = 0, bsOwnerDraw = 1, bsOwnerDrawWithFrame = 2 };

// The owner-draw state handed to OnDrawButton.
struct ButtonDrawState
{
    bool selected = false;   // held down
    bool disabled = false;
    bool focused = false;
    bool isDefault = false;
};

// A push button its owner can draw, with or without the push-button frame. With
// the frame, the handler gets the rectangle 4 pixels inside it (one more at left
// and top while the button is held down); without a handler the caption is drawn
// centred and word-wrapped.
class TButtonEx : public QPushButton
{
    Q_OBJECT

public:
    // `painter` is the button's canvas for this one draw.
    using DrawButtonFunction =
            std::function<void(TButtonEx *control, QPainter &painter, const CellRect &rect, ButtonDrawState state)>;

    explicit TButtonEx(QWidget *parent = nullptr);

    TButtonExStyle Sytle() const { return m_style; }
    void setSytle(TButtonExStyle style);
    void setOnDrawButton(DrawButtonFunction draw) { m_onDrawButton = std::move(draw); }

    // Non-zero closes the button's dialog with that result when clicked; 1..8 also
    // give the button its standard caption.
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int result);

    // The button is the dialog's active default button.
    bool IsFocused() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    virtual void DrawButton(QPainter &painter, CellRect rect, ButtonDrawState state);

private:
    TButtonExStyle m_style = bsStandard;
    DrawButtonFunction m_onDrawButton;
    int m_modalResult = 0;
};

// Thousands grouping by position: "," after every third character counted from
// the end ("1970" gives "1,970"). Characters of any kind count.
QString GroupThousands(const QString &text);

// A one-line edit box with alignment and optional thousands grouping. Text()
// reads without separators and setText() writes with them; Enter inserts nothing
// and reaches the dialog's default button.
class TEditEx : public QLineEdit
{
    Q_OBJECT

public:
    explicit TEditEx(QWidget *parent = nullptr);

    bool Thousands() const { return m_thousands; }
    void setThousands(bool on);
    QString Text() const;
    void setText(const QString &text);
    // Groups the shown text again, keeping the caret's distance from the end.
    virtual void Regroup();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_thousands = false;
    bool m_loaded = false;
};

} // namespace hibi
