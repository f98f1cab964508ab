#include "Pictures.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "Errors.h"

py::array_t<std::uint8_t> PictureArray(const QImage& image) {
    const int h = image.height();
    const int w = image.width();
    py::array_t<std::uint8_t> picture({h, w, 3});
    std::uint8_t* out = picture.mutable_data();
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            *out++ = static_cast<std::uint8_t>(qRed(line[x]));
            *out++ = static_cast<std::uint8_t>(qGreen(line[x]));
            *out++ = static_cast<std::uint8_t>(qBlue(line[x]));
        }
    }
    return picture;
}

QByteArray EncodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) bytes.clear();
    return bytes;
}

py::bytes PngBytes(const py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>& picture) {
    if (picture.ndim() != 3 || picture.shape(2) != 3 || picture.shape(0) < 1 || picture.shape(1) < 1)
        throw py::value_error("the picture must be an (H, W, 3) array");
    const int h = static_cast<int>(picture.shape(0));
    const int w = static_cast<int>(picture.shape(1));
    QByteArray bytes;
    {
        const std::uint8_t* in = picture.data();
        py::gil_scoped_release unlocked;
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x, in += 3)
                line[x] = qRgb(in[0], in[1], in[2]);
        }
        bytes = EncodePng(image);
    }
    if (bytes.isEmpty()) throw MessageError("the picture could not be encoded as PNG");
    return py::bytes(bytes.constData(), static_cast<py::ssize_t>(bytes.size()));
}
