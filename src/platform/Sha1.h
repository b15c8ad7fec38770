#pragma once

#include "Error.h"

#include <QByteArray>
#include <QString>

#include <optional>

// SHA-1 digests (20 bytes) through OpenSSL's libcrypto.
namespace Sha1 {

constexpr int kDigestLength = 20;

QByteArray ofData(const QByteArray &bytes);
// The file is streamed in blocks, so a large store is never held in memory. Nothing when it
// cannot be opened or read (error filled with the file system's errno).
std::optional<QByteArray> ofFile(const QString &path, Error &error);

} // namespace Sha1
