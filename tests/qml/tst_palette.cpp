// The palette's colours where they meet: each text or symbol colour on each
// fill it is drawn on, with the least contrast a reader needs, and lighter or
// darker as the light look has it (so swapping a text colour with a surface,
// which keeps their contrast, still fails).

#include "ui/theme/palette.h"

#include <QtTest>

#include <cmath>

namespace {

// Relative luminance and contrast ratio as WCAG 2 defines them.
double luminance(const QColor& colour) {
    const auto linear = [](float channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double first = luminance(a) + 0.05;
    const double second = luminance(b) + 0.05;
    return std::max(first, second) / std::min(first, second);
}

struct Meeting {
    const char* name;
    QColor (*foreground)();
    QColor (*fill)();
    double least;
    bool darker; // the foreground darker than its fill
};

// Primary text at AAA, secondary near AA, hints and the error text readable,
// symbols on filled buttons and badges distinguishable.
const Meeting meetings[] = {
    {"primary text on background", &Palette::textPrimary, &Palette::background, 7, true},
    {"primary text on surface", &Palette::textPrimary, &Palette::surface, 7, true},
    {"primary text on alternate surface", &Palette::textPrimary, &Palette::surfaceAlt, 7, true},
    {"secondary text on background", &Palette::textSecondary, &Palette::background, 4, true},
    {"secondary text on surface", &Palette::textSecondary, &Palette::surface, 4, true},
    {"secondary text on alternate surface", &Palette::textSecondary, &Palette::surfaceAlt, 4, true},
    {"hint text on background", &Palette::textTertiary, &Palette::background, 2, true},
    {"hint text on surface", &Palette::textTertiary, &Palette::surface, 2, true},
    {"error text on background", &Palette::danger, &Palette::background, 3, true},
    {"error text on surface", &Palette::danger, &Palette::surface, 3, true},
    {"symbol on accent", &Palette::onFill, &Palette::accent, 2.3, false},
    {"symbol on danger", &Palette::onFill, &Palette::danger, 2.3, false},
    {"symbol on success", &Palette::onFill, &Palette::success, 2.3, false},
    {"symbol on primary text", &Palette::onFill, &Palette::textPrimary, 7, false},
};

} // namespace

class PaletteTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyTextStandsOut_data() {
        QTest::addColumn<int>("meeting");
        for (int i = 0; i < int(std::size(meetings)); ++i) {
            QTest::newRow(meetings[i].name) << i;
        }
    }
    void everyTextStandsOut() {
        QFETCH(int, meeting);
        const Meeting& m = meetings[meeting];
        const QColor foreground = m.foreground();
        const QColor fill = m.fill();
        QVERIFY2(contrast(foreground, fill) >= m.least,
                 qPrintable(QString::number(contrast(foreground, fill), 'f', 2)));
        QCOMPARE(luminance(foreground) < luminance(fill), m.darker);
    }
};

QTEST_GUILESS_MAIN(PaletteTest)
#include "tst_palette.moc"
