#pragma once

#include "components/DayCellPainter.h"
#include "settings/Settings.h"

#include <QDialog>

#include <array>

class QColorDialog;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace hibi {

class ColorBox;
class DrawGrid;
class TButtonEx;
struct CellRect;

// What the settings dialog needs from the main window.
class SettingsDialogHost
{
public:
    // The appearance in effect, which the dialog's working copy starts from.
    virtual const Appearance &appearance() const = 0;
    // The month grid's column width, which the previews take.
    virtual int dayColumnWidth() const = 0;
    // OK: the main window takes the working copy, with the day rows' height of the
    // previews, saves it in the settings file and lays itself out again.
    virtual void applyAppearance(const Appearance &look, int dayRowHeight) = 0;

protected:
    ~SettingsDialogHost() = default;
};

// The settings dialog: fonts, colours, mark widths and today's frame, edited in a
// working copy shown by two previews, applied to the main window and written to
// the settings file on OK. Cancel changes nothing.
class Tfrmsettei : public QDialog
{
    Q_OBJECT

public:
    explicit Tfrmsettei(SettingsDialogHost *host, QWidget *parent = nullptr);

    // The working copy; NenFont and WindowColor are what the caption sample shows.
    const Appearance &working() const { return m_work; }

    void btnokClick();
    void btnyoubi1Click();
    void btndfClick();
    void btnnenfontClick();
    void colorbtn_1Click(int number);
    void sedit1Change(int value);
    void sedit2Change(int value);
    void radib1onClick();
    void radib1offClick();
    void radiholClick();

    void dg2DrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    void dg3DrawCell(QPainter &painter, int col, int row, const CellRect &rect);
    void colorbtn_1DrawButton(TButtonEx *control, QPainter &painter, const CellRect &rect);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void buildPage1(QWidget *page);
    void buildPage2(QWidget *page);
    Color &colorOfButton(int number);
    void previewCell(QPainter &painter, int col, int row, const CellRect &rect, bool marks);
    void showNenSample();
    void repaintPreviews();
    int dayRowHeight() const;
    // The previews' header rows follow the header font.
    void fontsChanged();
    void enableTodayControls(bool on);

    SettingsDialogHost *m_host;
    Appearance m_work;
    DayCellPainter m_painter;   // with the working copy's look
    QColorDialog *ColorDialog1 = nullptr;
    QTabWidget *PageControl1;
    DrawGrid *dg2;
    DrawGrid *dg3;
    std::array<TButtonEx *, 11> m_colorButtons{};   // colorbtn_1 .. colorbtn_10 at 1 .. 10
    std::array<ColorBox *, 6> m_colorBoxes{};       // ColorBox1 .. ColorBox5 at 1 .. 5
    QSpinBox *sedit1;
    QSpinBox *sedit2;
    QRadioButton *radib1on;
    QRadioButton *radib1off;
    QRadioButton *radiholtable;   // the fixed table's holidays
    QRadioButton *radihollaw;     // the public-holiday law's
    QLabel *Label8;
    QFrame *Panel1;
    QLabel *lblnen;
    QPushButton *btnok;
    QPushButton *btncancel;
    bool m_shown = false;
};

} // namespace hibi
