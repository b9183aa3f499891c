#include "ui/views/picture_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QWidget>

#include "model/error.h"
#include "ui/messages.h"

namespace trelmox::views {
namespace {

[[noreturn]] void cannotCreate(const QString& path) {
    throw Error(QStringLiteral("Cannot create file \"%1\".").arg(path).toStdString());
}

void saveSvg(QWidget* picture, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) cannotCreate(path);
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(picture->size());
    svg.setViewBox(QRect(QPoint(0, 0), picture->size()));
    svg.setTitle(picture->windowTitle());
    QPainter painter;
    if (!painter.begin(&svg)) cannotCreate(path);
    picture->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    if (file.error() != QFileDevice::NoError) cannotCreate(path);
}

} // namespace

void savePicture(QWidget* picture, const QString& path) {
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        saveSvg(picture, path);
        return;
    }
    if (!picture->grab().save(path, "PNG")) cannotCreate(path);
}

void askAndSavePicture(QWidget* parent, QWidget* picture, const QString& suggestedPath) {
    const QString png = QCoreApplication::translate("PictureFile", "PNG 图片 (*.png)"),
                  svg = QCoreApplication::translate("PictureFile", "SVG 矢量图 (*.svg)");
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(parent, QCoreApplication::translate("PictureFile", "保存图片"),
                                                suggestedPath, png + ";;" + svg, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    ui::runCommand([&] { savePicture(picture, path); });
}

} // namespace trelmox::views
