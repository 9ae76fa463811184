#include "components/StandardGlyph.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPointer>
#include <QProxyStyle>

namespace hibi {

namespace {

const char *glyphPictureName(QStyle::StandardPixmap glyph)
{
    switch (glyph) {
    case QStyle::SP_DialogCloseButton:
        return "close";
    case QStyle::SP_DialogOkButton:
        return "ok";
    case QStyle::SP_DialogCancelButton:
        return "cancel";
    default:
        return nullptr;
    }
}

// Stands for one of the style's glyphs and asks the style for it the first time
// the glyph is measured or drawn.
class DeferredGlyphEngine : public QIconEngine
{
public:
    DeferredGlyphEngine(QStyle *style, QStyle::StandardPixmap glyph) : m_style(style), m_glyph(glyph) {}

    QIconEngine *clone() const override { return new DeferredGlyphEngine(m_style, m_glyph); }
    QString key() const override { return QStringLiteral("hibi-deferred-glyph"); }
    bool isNull() override { return false; }

    // Sizes here are in device pixels, as the icon hands them on; the glyph is
    // asked at a ratio of 1 to keep them so, or at the ratio the icon was asked.
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        glyph().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return glyph().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return glyph().pixmap(size / scale, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return glyph().pixmap(size, 1.0, mode, state).size();
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return glyph().availableSizes(mode, state);
    }

private:
    const QIcon &glyph()
    {
        if (m_made.isNull() && m_style)
            m_made = m_style->standardIcon(m_glyph);
        return m_made;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_glyph;
    QIcon m_made;
};

class GlyphStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap glyph, const QStyleOption *option, const QWidget *widget) const override
    {
        if (glyphPictureName(glyph))
            return StandardGlyph(glyph);
        if (glyph == SP_ToolBarHorizontalExtensionButton || glyph == SP_ToolBarVerticalExtensionButton)
            return QIcon(new DeferredGlyphEngine(baseStyle(), glyph));
        return QProxyStyle::standardIcon(glyph, option, widget);
    }
};

} // namespace

QImage ReadPicture(const QString &path, const QByteArray &format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon StandardGlyph(QStyle::StandardPixmap glyph)
{
    static QHash<int, QIcon> made;
    const auto known = made.constFind(glyph);
    if (known != made.constEnd())
        return *known;
    const char *name = glyphPictureName(glyph);
    if (!name)
        return QApplication::style()->standardIcon(glyph);
    QIcon icon;
    for (int size : {16, 32, 64})
        icon.addPixmap(QPixmap::fromImage(
                ReadPicture(QStringLiteral(":/glyphs/%1-%2.png").arg(QLatin1String(name)).arg(size), "png")));
    made.insert(glyph, icon);
    return icon;
}

QStyle *ProgramStyle(QStyle *base)
{
    return new GlyphStyle(base);
}

} // namespace hibi
