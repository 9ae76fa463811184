#include "app/jump.h"

#include "components/CtrlsEx.h"
#include "components/Look.h"
#include "components/Look.h"
#include "components/StandardGlyph.h"
#include "components/UpDown.h"
#include "settings/Settings.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace hibi {

Tform_jump::Tform_jump(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("form_jump"));
    setWindowTitle(QStringLiteral("年月指定ジャンプ"));
    setFixedSize(256, 124);
    setFont(PixelFont(12));
    SetBackground(this, ToQColor(clBtnFace));

    auto makeSpinner = [this](const char *name, const QRect &geometry, int min, int max, bool wrap) {
        auto *u = new UpDown(this);
        u->setObjectName(QLatin1String(name));
        u->setGeometry(geometry);
        u->setRange(min, max);
        u->setWrap(wrap);
        u->setFocusPolicy(Qt::TabFocus);
        return u;
    };
    upyear = makeSpinner("upyear", QRect(153, 10, 20, 27), 1970, 2100, false);
    upmonth = makeSpinner("upmonth", QRect(153, 42, 20, 27), 1, 12, true);
    upyear->setAccessibleNames(QStringLiteral("年"), QStringLiteral("年を増やす"), QStringLiteral("年を減らす"));
    upmonth->setAccessibleNames(QStringLiteral("月"), QStringLiteral("月を増やす"), QStringLiteral("月を減らす"));
}

void Tform_jump::setVisible(bool visible)
{
    if (visible && !cancel)
        buildControls();
    QDialog::setVisible(visible);
}

void Tform_jump::buildControls()
{
    auto makeLabel = [this](const char *name, const QString &text, int x, int y) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setFont(PixelFont(19));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto makeEdit = [this](const char *name, const QRect &geometry) {
        auto *e = new TEditEx(this);
        e->setObjectName(QLatin1String(name));
        e->setFont(PixelFont(19, true));
        e->setReadOnly(true);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        e->setGeometry(geometry);
        return e;
    };

    Label1 = makeLabel("Label1", QStringLiteral("年："), 48, 13);
    EditEx1 = makeEdit("EditEx1", QRect(80, 10, 73, 27));
    EditEx1->setThousands(true);
    upyear->setBuddy(EditEx1);
    Label1->setBuddy(EditEx1);   // screen readers name the field by its label
    Label2 = makeLabel("Label2", QStringLiteral("月："), 48, 45);
    EditEx2 = makeEdit("EditEx2", QRect(96, 42, 57, 27));
    upmonth->setBuddy(EditEx2);
    Label2->setBuddy(EditEx2);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 72 + 9 - 2, 241, 2);   // the line along the bevel's bottom edge

    BitBtn2 = new QPushButton(StandardGlyph(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(56, 88, 81, 33);
    BitBtn2->setFont(PixelFont(16));
    BitBtn2->setDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, &Tform_jump::BitBtn2Click);
    cancel = new QPushButton(StandardGlyph(QStyle::SP_DialogCancelButton), QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setGeometry(152, 88, 89, 33);
    cancel->setFont(PixelFont(13));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);   // Esc reaches it through reject()

    setTabOrder(EditEx1, upyear);
    setTabOrder(upyear, upmonth);
    setTabOrder(upmonth, BitBtn2);
    setTabOrder(BitBtn2, cancel);
    setTabOrder(cancel, EditEx2);
}

void Tform_jump::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void Tform_jump::FormShow()
{
    cancel->setFocus();
    JumpAccepted = false;
}

void Tform_jump::BitBtn2Click()
{
    JumpAccepted = true;
    accept();
}

} // namespace hibi
