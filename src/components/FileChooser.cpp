#include "components/FileChooser.h"

#include "components/MessageBoxes.h"

#include <QFileDialog>

namespace hibi {

namespace {

// Turns a refused path down before the chooser asks whether to replace it.
class SaveFileDialog : public QFileDialog
{
public:
    SaveFileDialog(QWidget *parent, const QString &caption, const QString &folder, const QString &filter,
                   PathRefusal refuse)
        : QFileDialog(parent, caption, folder, filter), m_refuse(std::move(refuse))
    {
    }

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (m_refuse && !chosen.isEmpty()) {
            if (const auto why = m_refuse(chosen.constFirst())) {
                MessageBoxes::error(this, *why);
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    PathRefusal m_refuse;
};

} // namespace

QString ChooseSaveFile(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                       const QString &suffix, const PathRefusal &refuse)
{
    SaveFileDialog dialog(parent, caption, suggested, filter, refuse);
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
