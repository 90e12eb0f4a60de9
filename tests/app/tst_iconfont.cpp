#include "app/ApplicationController.h"
#include "doc/DynamicValueInput.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "support/AppFixture.h"
#include "support/WidgetTestMain.h"

#include <QFontInfo>
#include <QImage>
#include <QRawFont>
#include <QtTest>

using motifex::test::AppFixture;

namespace {

// Glyphs drawn by the widgets that are not in a table of the core: tabs, buttons, precision levels,
// function chain labels, the colour and preview buttons.
const QList<unsigned> widgetGlyphs = {
    0x002B, 0xE195, 0xE196, 0xE198, 0xF00D, 0xF015, 0xF03E, 0xF044, 0xF061, 0xF06E, 0xF070, 0xF129, 0xF160,
    0xF187, 0xF24D, 0xF2ED, 0xF2F1, 0xF304, 0xF345, 0xF53F, 0xF56D, 0xF574, 0xF5C3, 0xF61F, 0xF661,
};

int inkedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class IconFontTest : public QObject
{
    Q_OBJECT

private slots:
    void familyResolvesToOurFont()
    {
        AppFixture app;
        QCOMPARE(ApplicationController::iconFont().family(), QStringLiteral("Font Awesome 6 Pro"));
        QCOMPARE(QFontInfo(ApplicationController::iconFont()).family(), QStringLiteral("Motifex Icons"));
    }

    void everyUsedGlyphIsInTheFontAndDraws()
    {
        AppFixture app;
        QList<unsigned> codePoints = widgetGlyphs;
        for (const auto& entry : doc::dynamicValueInputList()) {
            codePoints.append(entry.glyph.unicode());
        }
        const auto generator = app.controller().generatorManager()->get(QStringLiteral("pointgrid"));
        QVERIFY(generator != nullptr);
        for (const auto& algorithm : generator->algorithmList()) {
            codePoints.append(static_cast<unsigned>(algorithm.icon));
        }
        QCOMPARE(codePoints.size(), 45);

        const QRawFont rawFont = QRawFont::fromFont(ApplicationController::iconFont());
        for (unsigned codePoint : codePoints) {
            const QString label = QStringLiteral("U+%1").arg(codePoint, 4, 16, QLatin1Char('0')).toUpper();
            QVERIFY2(rawFont.supportsCharacter(codePoint), qPrintable(label));
            const QImage image = app.controller().pixmapForIcon(static_cast<int>(codePoint), 24).toImage();
            QVERIFY2(inkedPixels(image) > 20, qPrintable(label));
        }
    }
};

MOTIFEX_WIDGET_TEST_MAIN(IconFontTest)
#include "tst_iconfont.moc"
