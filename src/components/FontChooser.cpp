#include "components/FontChooser.h"

#include "components/Look.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRawFont>
#include <QScrollBar>

#include <algorithm>

namespace hibi {

namespace {

constexpr int kBoldRole = Qt::UserRole;
constexpr int kItalicRole = Qt::UserRole + 1;
constexpr int kFaceRole = Qt::UserRole;
constexpr int kSizeRole = Qt::UserRole;

const QString kSampleText = QStringLiteral("あア亜 123 日月火");

void choose(QListWidget *list, int row)
{
    if (row < 0 || row >= list->count())
        return;
    list->setCurrentRow(row);
    list->scrollToItem(list->item(row), QAbstractItemView::PositionAtCenter);
}

QLabel *heading(const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

} // namespace

QString FontChooser::StandIn(const QString &face)
{
    if (!face.isEmpty() && QFontDatabase::hasFamily(face))
        return QString();
    // The face of Japanese text: Latin digits may come from another one.
    const QFont font(face);
    const QString japanese = QRawFont::fromFont(font, QFontDatabase::Japanese).familyName();
    return japanese.isEmpty() ? QFontInfo(font).family() : japanese;
}

FontChooser::FontChooser(const FontRecord &stored, QWidget *parent)
    : QDialog(parent), m_stored(stored)
{
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("フォント"));

    m_families = new QListWidget;
    m_families->setObjectName(QStringLiteral("familyList"));
    m_standInFace = StandIn(stored.name);
    if (!m_standInFace.isEmpty()) {
        // The stored face first, under its own name, though drawn with another.
        auto *item = new QListWidgetItem(stored.name.isEmpty() ? QStringLiteral("（既定の書体）") : stored.name, m_families);
        item->setData(kFaceRole, stored.name);
        m_storedRow = 0;
    }
    for (const QString &face : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(face))
            continue;
        if (m_storedRow < 0 && face.compare(stored.name, Qt::CaseInsensitive) == 0)
            m_storedRow = m_families->count();
        (new QListWidgetItem(face, m_families))->setData(kFaceRole, face);
    }

    m_styles = new QListWidget;
    m_styles->setObjectName(QStringLiteral("styleList"));
    // Every face offers all four: Qt draws bold and slanted letters itself for a
    // face without them.
    const struct
    {
        QString name;
        bool bold;
        bool italic;
    } styles[] = {{QStringLiteral("標準"), false, false},
                  {QStringLiteral("太字"), true, false},
                  {QStringLiteral("斜体"), false, true},
                  {QStringLiteral("太字 斜体"), true, true}};
    for (const auto &s : styles) {
        auto *item = new QListWidgetItem(s.name, m_styles);
        item->setData(kBoldRole, s.bold);
        item->setData(kItalicRole, s.italic);
        QFont look = font();
        look.setBold(s.bold);
        look.setItalic(s.italic);
        item->setFont(look);
    }

    m_sizes = new QListWidget;
    m_sizes->setObjectName(QStringLiteral("sizeList"));
    for (int size = kMinFontSize; size <= kMaxFontSize; ++size)
        (new QListWidgetItem(QString::number(size), m_sizes))->setData(kSizeRole, size);

    for (QListWidget *list : {m_families, m_styles, m_sizes}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        connect(list, &QListWidget::itemSelectionChanged, this, &FontChooser::showSample);
    }
    // Room for the longest entry of each list beside its scroll bar.
    auto fitWidth = [](QListWidget *list, int least) {
        int widest = least;
        for (int i = 0; i < list->count(); ++i)
            widest = std::max(widest, QFontMetrics(list->item(i)->font()).horizontalAdvance(list->item(i)->text()));
        list->setMinimumWidth(widest + list->verticalScrollBar()->sizeHint().width() + 4 * list->frameWidth() + 8);
    };
    fitWidth(m_families, 160);
    fitWidth(m_styles, 0);
    fitWidth(m_sizes, 0);

    m_standIn = new QLabel;
    m_standIn->setObjectName(QStringLiteral("lblstandin"));
    m_standIn->setWordWrap(true);
    if (!m_standInFace.isEmpty())
        m_standIn->setText(QStringLiteral("「%1」はこのコンピューターにないため、代わりに %2 で表示しています。")
                                   .arg(m_families->item(0)->text(), m_standInFace));
    QSizePolicy keepRoom = m_standIn->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_standIn->setSizePolicy(keepRoom);

    auto *sampleBox = new QGroupBox(QStringLiteral("見本"));
    sampleBox->setObjectName(QStringLiteral("sample"));
    m_sample = new QLabel(kSampleText, sampleBox);
    m_sample->setObjectName(QStringLiteral("lblsample"));
    m_sample->setAlignment(Qt::AlignCenter);
    // As high as the largest size needs, so that the dialog keeps its size.
    m_sample->setFixedHeight(2 * FontPixelHeight(kMaxFontSize, this));
    (new QHBoxLayout(sampleBox))->addWidget(m_sample);

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("fontok"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"));
    cancel->setObjectName(QStringLiteral("fontcancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto *grid = new QGridLayout(this);
    grid->addWidget(heading(QStringLiteral("書体(&F):"), m_families), 0, 0);
    grid->addWidget(heading(QStringLiteral("スタイル(&Y):"), m_styles), 0, 1);
    grid->addWidget(heading(QStringLiteral("サイズ(&S):"), m_sizes), 0, 2);
    grid->addWidget(m_families, 1, 0);
    grid->addWidget(m_styles, 1, 1);
    grid->addWidget(m_sizes, 1, 2);
    grid->addWidget(m_standIn, 2, 0, 1, 3);
    grid->addWidget(sampleBox, 3, 0, 1, 3);
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(0, 1);

    // Opens on the stored face, style and size.
    choose(m_families, m_storedRow);
    choose(m_styles, int(stored.style.bold) + 2 * int(stored.style.italic));
    choose(m_sizes, std::clamp(stored.size, kMinFontSize, kMaxFontSize) - kMinFontSize);
    m_families->setFocus();
    showSample();
}

bool FontChooser::storedFaceChosen() const
{
    return m_storedRow >= 0 && m_families->currentRow() == m_storedRow;
}

FontRecord FontChooser::chosen() const
{
    FontRecord record = m_stored;
    if (!storedFaceChosen())
        if (QListWidgetItem *face = m_families->currentItem())
            record.name = face->data(kFaceRole).toString();
    if (QListWidgetItem *style = m_styles->currentItem()) {
        record.style.bold = style->data(kBoldRole).toBool();
        record.style.italic = style->data(kItalicRole).toBool();
    }
    if (QListWidgetItem *size = m_sizes->currentItem())
        record.size = size->data(kSizeRole).toInt();
    else
        record.size = std::clamp(record.size, kMinFontSize, kMaxFontSize);
    return record;
}

QFont FontChooser::currentFont() const
{
    const FontRecord record = chosen();
    return MakeFont(record.name, record.size, record.style);
}

void FontChooser::showSample()
{
    m_sample->setFont(currentFont());
    m_standIn->setVisible(!m_standInFace.isEmpty() && storedFaceChosen());
}

bool ChooseFont(QWidget *parent, FontRecord &font)
{
    FontChooser chooser(font, parent);
    if (chooser.exec() != QDialog::Accepted)
        return false;
    font = chooser.chosen();
    return true;
}

} // namespace hibi
