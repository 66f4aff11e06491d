#include "charts/chartpicture.h"

#include "records/atomicfile.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "workbench/dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace zul {

QRect fittedViewport(QSize design, const QRect& target) {
    if (design.isEmpty() || target.isEmpty()) return target;
    QSize size = design.scaled(target.size(), Qt::KeepAspectRatio);
    return QRect(target.x() + (target.width() - size.width()) / 2,
                 target.y() + (target.height() - size.height()) / 2, size.width(), size.height());
}

QSize pageDesign(const ChartPicture& picture) {
    return picture.caption.isEmpty() ? picture.design : picture.design + QSize(0, kCaptionStrip);
}

void renderPicture(QPainter& painter, const ChartPicture& picture, const QRect& target) {
    const QSize page = pageDesign(picture);
    painter.save();
    painter.setViewport(fittedViewport(page, target));
    painter.setWindow(QRect(QPoint(0, 0), page));
    painter.setClipRect(QRect(QPoint(0, 0), picture.design));
    picture.paint(painter);
    if (!picture.caption.isEmpty()) {
        const QRect strip(0, picture.design.height(), page.width(), kCaptionStrip);
        painter.setClipRect(strip);
        painter.fillRect(strip, Qt::white);
        QFont font = painter.font();
        font.setPixelSize(kCaptionStrip / 2);
        font.setBold(false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(strip.adjusted(kCaptionStrip / 2, 0, -kCaptionStrip / 2, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, picture.caption);
    }
    painter.restore();
}

QSize pictureSize(const ChartPicture& picture, double scale) {
    const QSize page = pageDesign(picture);
    return QSize(static_cast<int>(std::ceil(page.width() / kTwipsPerPixel * scale)),
                 static_cast<int>(std::ceil(page.height() / kTwipsPerPixel * scale)));
}

QImage renderImage(const ChartPicture& picture, double scale, qreal dpr) {
    const QSize logical = pictureSize(picture, scale);
    QImage image(logical * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderPicture(painter, picture, QRect(QPoint(0, 0), logical));
    return image;
}

QString saveChartPng(const QString& fileName, const ChartPicture& picture, double scale) {
    if (!(scale > 0 && scale <= 20)) return "the scale must be above 0 and at most 20";
    const QImage image = renderImage(picture, scale);
    if (image.isNull()) return "the picture is too large";
    AtomicFile file(fileName);
    if (!file.open()) return file.error();
    if (!image.save(&file.device(), "PNG")) return "the PNG could not be written";
    if (!file.commit().isEmpty()) return file.error();
    return {};
}

namespace {
// Dots per inch of the PDF's painter: a high-resolution printer's.
constexpr int kPdfResolution = 1200;
} // namespace

QString saveChartPdf(const QString& fileName, const ChartPicture& picture) {
    // A unique temporary file renamed over the target, as every whole-file output.
    AtomicFile file(fileName);
    if (!file.open()) return file.error();
    {
        QPdfWriter writer(&file.device());
        writer.setResolution(kPdfResolution);
        writer.setTitle(picture.title);
        writer.setCreator("ZUL");
        // A page of exactly the picture's size, its caption line included: the size given
        // upright, and a wide picture turned to landscape, so that it fills the page.
        const QSize page = pageDesign(picture);
        const bool wide = page.width() > page.height();
        const QSizeF upright(std::min(page.width(), page.height()) / 20.0,
                             std::max(page.width(), page.height()) / 20.0);
        writer.setPageLayout(
            QPageLayout(QPageSize(upright, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                        QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        QPainter painter;
        if (!painter.begin(&writer))
            return "the PDF could not be started in " + QFileInfo(fileName).absolutePath();
        painter.setRenderHint(QPainter::Antialiasing);
        renderPicture(painter, picture, painter.viewport());
        if (!painter.end()) return "the PDF could not be written";
    }
    if (!file.commit().isEmpty()) return file.error();
    return {};
}

void saveChartAs(Dialogs& dialogs, const ChartPicture& picture) {
    QString file = dialogs.saveFile("Save as\u2026", "PDF (vector)|*.pdf|PNG picture|*.png",
                                    picture.title + ".pdf");
    if (file.isEmpty()) return;
    file = QFileInfo(file).absoluteFilePath(); // every message names the whole path
    const QString suffix = QFileInfo(file).suffix().toLower();
    QString failure;
    if (suffix == "png") {
        const QString answer = dialogs.prompt(
            "Scale of the PNG picture (1 = the size on screen, up to 20)", "Save as\u2026", "2");
        if (answer.isEmpty()) return;
        double scale = 0;
        try {
            scale = parseStrict(answer.toStdString());
        } catch (const Error&) {
            scale = 0;
        }
        failure = saveChartPng(file, picture, scale);
    } else {
        if (suffix != "pdf") file += ".pdf";
        failure = saveChartPdf(file, picture);
    }
    if (!failure.isEmpty()) dialogs.message("Cannot save " + wholePath(file) + ": " + failure);
}

} // namespace zul
