#include "ResourceCipher.h"

#include <QCryptographicHash>

#include <openssl/evp.h>

#include <memory>

namespace ResourceCipher {

namespace {

constexpr int kNonceSize = 12;
constexpr int kTagSize = 16;

const QByteArray &key()
{
    static const QByteArray value =
        QCryptographicHash::hash(QByteArrayLiteral("Tolvana built-in resources, 2026"), QCryptographicHash::Sha256);
    return value;
}

using Context = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

const unsigned char *bytes(const QByteArray &data) { return reinterpret_cast<const unsigned char *>(data.constData()); }
unsigned char *bytes(QByteArray &data) { return reinterpret_cast<unsigned char *>(data.data()); }

} // namespace

QByteArray encipher(const QByteArray &plain)
{
    const QByteArray nonce =
        QCryptographicHash::hash(QByteArray(key()).append(plain), QCryptographicHash::Sha256).left(kNonceSize);
    Context context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    QByteArray cipherText(plain.size(), Qt::Uninitialized);
    QByteArray tag(kTagSize, Qt::Uninitialized);
    int length = 0;
    int finalLength = 0;
    if (!context || EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, bytes(key()), bytes(nonce)) != 1 ||
        EVP_EncryptUpdate(context.get(), bytes(cipherText), &length, bytes(plain), int(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), bytes(cipherText) + length, &finalLength) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kTagSize, tag.data()) != 1)
        return {};
    return QByteArray(nonce).append(cipherText).append(tag);
}

std::optional<QByteArray> decipher(const QByteArray &data)
{
    if (data.size() < kNonceSize + kTagSize)
        return std::nullopt;
    const QByteArray nonce = data.left(kNonceSize);
    const QByteArray cipherText = data.mid(kNonceSize, data.size() - kNonceSize - kTagSize);
    QByteArray tag = data.right(kTagSize);
    Context context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    QByteArray plain(cipherText.size(), Qt::Uninitialized);
    int length = 0;
    int finalLength = 0;
    if (!context || EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, bytes(key()), bytes(nonce)) != 1 ||
        EVP_DecryptUpdate(context.get(), bytes(plain), &length, bytes(cipherText), int(cipherText.size())) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) != 1 ||
        EVP_DecryptFinal_ex(context.get(), bytes(plain) + length, &finalLength) != 1)
        return std::nullopt;
    return plain;
}

} // namespace ResourceCipher
