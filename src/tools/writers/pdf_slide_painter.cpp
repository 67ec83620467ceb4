#include "tools/writers/pdf_slide_painter.h"

#include "palette/palette_colors.h"

#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QPainter>

namespace {

// Layout positions are measured from the page's bottom edge, as in PDF user
// space; the painter's origin is the top edge.
double fromBottom(double y) {
    return slidePageHeight - y;
}

// The window's colours, so a deck looks like the app that made it.
const QColor pageColour = PaletteColors::background();
const QColor accentColour = PaletteColors::accent();
const QColor primaryTextColour = PaletteColors::textPrimary();
const QColor subtitleColour = PaletteColors::textSecondary();
const QColor pageNumberColour = PaletteColors::textTertiary();

constexpr double textLeft = 72;
constexpr double titleBaseline = 678;
constexpr double subtitleBaseline = 638;
constexpr double firstBulletBaseline = 618;
constexpr double firstBulletBaselineBelowSubtitle = 588;
constexpr double bulletStep = 40;
constexpr double bulletTextLeft = 88;
constexpr double dotSize = 10;
constexpr double dotRaise = 4;
constexpr double accentBarHeight = 6;
constexpr double pageNumberLeft = 944;
constexpr double pageNumberBaseline = 24;

// "Helvetica" is asked for by name and mapped by fontconfig (Nimbus Sans). In a
// family list Qt would skip the unknown name, so it is resolved on its own
// first. WenQuanYi Micro Hei covers Chinese, Japanese and Korean text and,
// unlike other CJK faces, keeps the PDF's text extractable as typed.
QFont slideFont(double pointSize, bool bold) {
    static const QString latinFamily = QFontInfo(QFont(QStringLiteral("Helvetica"))).family();
    QFont font;
    font.setFamilies({latinFamily, QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void drawLine(QPainter& painter, const QString& text, const QFont& font, const QColor& colour,
              double left, double baseline) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(left, fromBottom(baseline)), text);
}

void drawBulletDot(QPainter& painter, double baseline) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(accentColour);
    // The dot's box starts dotRaise above the baseline and extends upwards.
    painter.drawEllipse(
        QRectF(textLeft, fromBottom(baseline + dotRaise + dotSize), dotSize, dotSize));
}

} // namespace

void paintSlide(QPainter& painter, const SlideContent& slide, qsizetype position, qsizetype count) {
    painter.fillRect(QRectF(0, 0, slidePageWidth, slidePageHeight), pageColour);
    painter.fillRect(QRectF(0, 0, slidePageWidth, accentBarHeight), accentColour);

    drawLine(painter, slide.title, slideFont(40, true), primaryTextColour, textLeft, titleBaseline);

    double baseline = firstBulletBaseline;
    if (slide.subtitle) {
        drawLine(painter, *slide.subtitle, slideFont(20, false), subtitleColour, textLeft,
                 subtitleBaseline);
        baseline = firstBulletBaselineBelowSubtitle;
    }

    const QFont bulletFont = slideFont(22, false);
    for (const QString& bullet : slide.bullets) {
        drawLine(painter, QStringLiteral("  ") + bullet, bulletFont, primaryTextColour,
                 bulletTextLeft, baseline);
        drawBulletDot(painter, baseline);
        baseline -= bulletStep;
    }

    drawLine(painter, QString::number(position) + QStringLiteral(" / ") + QString::number(count),
             slideFont(12, false), pageNumberColour, pageNumberLeft, pageNumberBaseline);
}
