#pragma once

#include <QByteArray>

#include <optional>

// Resources compiled into the program in enciphered form (the built-in document templates),
// so that they are not lying in the program file as plain text to be read or edited in place.
// AES-256-GCM under a key built into the program: it keeps the text out of sight and tells a
// damaged resource from a good one; it is not a secret from someone who takes the program
// apart.
namespace ResourceCipher {

// Nonce, cipher text and tag. The nonce comes from the plain text, so the same input always
// gives the same output (builds stay reproducible).
QByteArray encipher(const QByteArray &plain);

// The plain text, or nothing when the data was not made by encipher or has been altered.
std::optional<QByteArray> decipher(const QByteArray &data);

} // namespace ResourceCipher
