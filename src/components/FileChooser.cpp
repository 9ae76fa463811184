#include "components/FileChooser.h"

#include <QFileDialog>

namespace hibi {

QString ChooseSaveFile(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                       const QString &suffix)
{
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("保存する場所:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("ファイルの種類:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存(&S)"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace hibi
