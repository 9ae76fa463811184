#pragma once

#include "settings/Settings.h"

#include <QDialog>
#include <QFont>

class QLabel;
class QListWidget;
class QPushButton;

namespace hibi {

constexpr int kMinFontSize = 8;
constexpr int kMaxFontSize = 24;

// A font as the settings file keeps it: face name, size in points, style set.
struct FontRecord
{
    QString name;
    int size = 0;
    FontStyle style;
    friend bool operator==(const FontRecord &, const FontRecord &) = default;
};

// The font chooser: typeface, style (regular, bold, italic, bold italic) and a
// size from 8 to 24 points, with a Japanese sample. It opens on the stored font.
// A stored face this computer lacks is listed first under its own name, shown in
// the face Qt draws it with instead; while it stays chosen its name is kept.
// Underline and strike-out are not offered and stay as stored.
class FontChooser : public QDialog
{
    Q_OBJECT

public:
    explicit FontChooser(const FontRecord &stored, QWidget *parent = nullptr);

    // The stored record, with the face, size and style now chosen: the stored name
    // while its entry stays chosen, so that OK without changes gives back the
    // stored record as it was (a size outside 8..24 held to that range).
    FontRecord chosen() const;

    // The face that stands in for a face this computer lacks when Japanese text is
    // drawn; empty when the face is installed.
    static QString StandIn(const QString &face);

private:
    // The font the sample shows.
    QFont currentFont() const;
    void showSample();
    bool storedFaceChosen() const;

    FontRecord m_stored;
    int m_storedRow = -1;        // the family list's entry of the stored face
    QString m_standInFace;       // what draws the stored face when it is missing
    QListWidget *m_families;
    QListWidget *m_styles;
    QListWidget *m_sizes;
    QLabel *m_standIn;
    QLabel *m_sample;
    QPushButton *m_ok;
};

// Runs the chooser on `font`; on OK `font` takes what it chose. False when
// cancelled.
bool ChooseFont(QWidget *parent, FontRecord &font);

} // namespace hibi
