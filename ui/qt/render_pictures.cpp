// Renders the window's pictures to the PNG files the resource file compiles in, so the program
// needs neither the SVG plug-in nor a CJK font for its own pictures. Run after changing a
// picture:
//   g++ -std=c++17 -fPIC ui/qt/render_pictures.cpp $(pkg-config --cflags --libs Qt6Svg Qt6Gui) -o /tmp/render
//   cd ui/form/images && QT_QPA_PLATFORM=offscreen /tmp/render
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

bool renderSvg(const char* name, int size)
{
    QSvgRenderer svg(QString::fromLatin1(name) + QStringLiteral(".svg"));
    if (!svg.isValid())
        return false;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    return image.save(QString::fromLatin1(name) + QStringLiteral(".png"));
}

// The language buttons show two characters in red, 34 x 16 pixels.
bool renderCharacters(const char* name, const QString& characters)
{
    QImage image(34, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(image.rect(), Qt::AlignCenter, characters);
    painter.end();
    return image.save(QString::fromLatin1(name) + QStringLiteral(".png"));
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    bool ok = renderSvg("magnifier", 24) && renderSvg("badge", 20) && renderSvg("eraser", 20)
              && renderSvg("close", 20) && renderSvg("window_icon", 32)
              && renderCharacters("simplified", QStringLiteral("簡体"))
              && renderCharacters("traditional", QStringLiteral("繁體"));
    std::printf(ok ? "pictures written\n" : "a picture failed\n");
    return ok ? 0 : 1;
}
