#pragma once

#include <QByteArray>

// Picture conversion for the layers above, which see only bytes (they link no Qt Gui).
namespace ImageData {

// The picture in any format Qt reads, encoded as PNG; empty when the bytes are no picture.
QByteArray toPng(const QByteArray &imageBytes);

// Whether the bytes are a picture Qt can read.
bool isReadable(const QByteArray &imageBytes);

} // namespace ImageData
