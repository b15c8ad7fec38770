#include "ImageData.h"

#include <QBuffer>
#include <QImage>

namespace ImageData {

QByteArray toPng(const QByteArray &imageBytes)
{
    if (imageBytes.isEmpty())
        return {};
    QImage image;
    if (!image.loadFromData(imageBytes))
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return png;
}

bool isReadable(const QByteArray &imageBytes)
{
    QImage image;
    return !imageBytes.isEmpty() && image.loadFromData(imageBytes);
}

} // namespace ImageData
