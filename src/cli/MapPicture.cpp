#include "cli/MapPicture.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include "colour/ColorMap.h"
#include "colour/ContourMap.h"

void PaintRedraw(BatchSession& session, const MapStyle& style, QImage& image) {
    session.RedrawAll();
    if (image.width() != MapPictureSize || image.height() != MapPictureSize)
        image = QImage(MapPictureSize, MapPictureSize, QImage::Format_RGB32);
    const DisplayCondition condition{};  // the window always passes it disabled
    ThkData& record = session.ShownRecord();
    const int t = session.DataType() < 0 ? 0 : session.DataType();
    if (session.DrawType() == 1 && t == 2) {
        PaintContourMap(image, record, style.CopyColormap, style.UseColormap, style.MinColor, style.MaxColor,
                        style.BackColor, condition, style.Table);
    } else {
        DrawColorMap(image, record, style.UseColormap, condition, style.BackColor, style.Table.Count - 1,
                     style.Table.Colors.data());
    }
}

int WritePng(const QImage& image, const std::string& fileName, std::string& error) {
    QSaveFile file(QFile::decodeName(fileName.c_str()));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return -1;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        file.cancelWriting();
        return -1;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return -1;
    }
    return 1;
}
