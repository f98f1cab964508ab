#pragma once

// Pictures between Qt and Python: a painted map as an (H, W, 3) uint8 array,
// and PNG bytes encoded as the command-line tool encodes its maps, so the
// same picture gives the same file.

#include <pybind11/numpy.h>

#include <QByteArray>
#include <cstdint>

class QImage;

namespace py = pybind11;

// The image's pixels as red, green, blue; needs the interpreter lock.
py::array_t<std::uint8_t> PictureArray(const QImage& image);

// PNG bytes of an RGB32 image; empty when it cannot be encoded. Needs no lock.
QByteArray EncodePng(const QImage& image);

// PNG bytes of an (H, W, 3) picture; ValueError for another shape.
py::bytes PngBytes(const py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>& picture);
