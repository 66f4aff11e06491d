#include "gui/printing.h"

#include <QPainter>
#include <QPicture>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace zul {

namespace {

// Starts a job on the default printer, lets `draw` paint the page and reports success.
template <class Draw> bool printOnDefault(const QString& docName, bool landscape, Draw draw) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return false;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(docName);
    if (landscape) printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    draw(painter);
    const bool ended = painter.end();
    return ended && printer.printerState() != QPrinter::Error &&
           printer.printerState() != QPrinter::Aborted;
}

} // namespace

bool printWindowImage(QWidget& window) {
    try {
        const QPixmap image = window.grab();
        return printOnDefault(
            window.windowTitle(), image.width() > image.height(), [&](QPainter& painter) {
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                const QRect page = painter.viewport();
                QSize size = image.size();
                size.scale(page.size(), Qt::KeepAspectRatio);
                painter.setViewport(page.x(), page.y(), size.width(), size.height());
                painter.setWindow(image.rect());
                painter.drawPixmap(0, 0, image);
            });
    } catch (...) {
        return false;
    }
}

bool printPicture(const ChartPicture& picture) {
    try {
        return printOnDefault(picture.title, picture.design.width() > picture.design.height(),
                              [&](QPainter& painter) {
                                  painter.setRenderHint(QPainter::Antialiasing);
                                  renderPicture(painter, picture, painter.viewport());
                              });
    } catch (...) {
        return false;
    }
}

ChartOutput chartOutput() {
    return {[](const ChartPicture& picture) { return printPicture(picture); }};
}

QPicture windowRecording(QWidget& window) {
    // Rendered straight onto a PDF painter, Qt would paint the widgets into one pixmap and
    // embed that; recorded first, the window's lines and text stay lines and text.
    QPicture recording;
    QPainter p(&recording);
    window.render(&p, QPoint(), QRegion(window.rect()),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    p.end();
    return recording;
}

ChartPicture windowPicture(QWidget& window) {
    // One pixel of the window is 15 twips at scale 1.
    const QSize size = window.size();
    return {window.windowTitle().trimmed().isEmpty() ? QString("ZUL") : window.windowTitle(),
            QSize(static_cast<int>(size.width() * kTwipsPerPixel),
                  static_cast<int>(size.height() * kTwipsPerPixel)),
            [&window](QPainter& p) {
                const QPicture recording = windowRecording(window);
                // A picture plays back scaled by the target's resolution over its own; the
                // window's pixels are twips here, whatever the device.
                const QPaintDevice* device = p.device();
                const double sx = static_cast<double>(recording.logicalDpiX()) /
                                  (device ? device->logicalDpiX() : recording.logicalDpiX());
                const double sy = static_cast<double>(recording.logicalDpiY()) /
                                  (device ? device->logicalDpiY() : recording.logicalDpiY());
                p.save();
                p.scale(kTwipsPerPixel * sx, kTwipsPerPixel * sy);
                p.drawPicture(0, 0, recording);
                p.restore();
            },
            QString()};
}

} // namespace zul
