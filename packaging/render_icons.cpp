// Renders the application's SVG icon as PNG files for the desktop's icon
// theme: render_icons SVG OUTDIR SIZE... writes OUTDIR/<size>x<size>/apps/clanbook.png.
// Built and run at build time, so the PNGs always match the SVG and no image
// program is needed.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  // Rendering needs no screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() < 4) {
    std::fprintf(stderr, "usage: render_icons SVG OUTDIR SIZE...\n");
    return 2;
  }
  QSvgRenderer renderer(arguments.at(1));
  if (!renderer.isValid()) {
    std::fprintf(stderr, "render_icons: cannot read %s\n", qPrintable(arguments.at(1)));
    return 1;
  }
  for (qsizetype i = 3; i < arguments.size(); ++i) {
    const int size = arguments.at(i).toInt();
    if (size <= 0) {
      std::fprintf(stderr, "render_icons: bad size %s\n", qPrintable(arguments.at(i)));
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments.at(2)).arg(size);
    if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/clanbook.png"), "PNG")) {
      std::fprintf(stderr, "render_icons: cannot write into %s\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
