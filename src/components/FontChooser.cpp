#include "components/FontChooser.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>

namespace hibi {

bool ChooseFont(QWidget *parent, QFont &font)
{
    QFontDialog dialog(font, parent);
    dialog.setObjectName(QStringLiteral("FontDialog1"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        if (qobject_cast<const QIntValidator *>(edit->validator()))   // the size box
            edit->setValidator(new QIntValidator(kMinFontSize, kMaxFontSize, edit));
    // No underline or strike-out: hide the effects group.
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        if (auto *group = qobject_cast<QGroupBox *>(box->parentWidget()))
            group->hide();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QFont chosen = dialog.selectedFont();
    chosen.setPointSize(std::clamp(chosen.pointSize(), kMinFontSize, kMaxFontSize));
    chosen.setUnderline(font.underline());
    chosen.setStrikeOut(font.strikeOut());
    font = chosen;
    return true;
}

} // namespace hibi
