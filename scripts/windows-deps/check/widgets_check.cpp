// Qt Gui and Widgets with the platform plugin loaded from the "platforms" folder beside the program,
// the layout a deployed Quillorn uses: a label with Cyrillic text must put ink on its pixels.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));

    QLabel label(QString::fromUtf8("\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82"));
    QFont font = label.font();
    font.setPixelSize(32);
    label.setFont(font);
    label.setStyleSheet(QStringLiteral("color: black; background: white"));
    label.adjustSize();
    const QImage image = label.grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128;
    std::printf("font: %s\n", qPrintable(QFontInfo(font).family()));
    std::printf("Cyrillic glyphs: %s\n", QFontMetrics(font).inFontUcs4(0x0416) ? "present" : "missing");
    std::printf("label text: %s\n", ink > 20 ? "drawn" : "not drawn");
    return 0;
}
