#include "Sha1.h"

#include <openssl/evp.h>

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

struct MdCtxDeleter
{
    void operator()(EVP_MD_CTX *ctx) const { EVP_MD_CTX_free(ctx); }
};

Error posixError(int code, const QString &path)
{
    Error e = Error::withMessage(Error::posixDomain(), code, QString::fromLocal8Bit(std::strerror(code)));
    QVariantMap info = e.userInfo();
    info.insert(QStringLiteral("NSFilePath"), path);
    return Error(e.domain(), e.code(), info);
}

} // namespace

QByteArray Sha1::ofData(const QByteArray &bytes)
{
    QByteArray digest(kDigestLength, Qt::Uninitialized);
    unsigned int length = 0;
    EVP_Digest(bytes.constData(), static_cast<size_t>(bytes.size()),
               reinterpret_cast<unsigned char *>(digest.data()), &length, EVP_sha1(), nullptr);
    return digest;
}

std::optional<QByteArray> Sha1::ofFile(const QString &path, Error &error)
{
    // Plain POSIX reads: a digest is taken once per file, so the pages need not stay cached.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = posixError(errno, path);
        return std::nullopt;
    }
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    std::unique_ptr<EVP_MD_CTX, MdCtxDeleter> ctx(EVP_MD_CTX_new());
    EVP_DigestInit_ex(ctx.get(), EVP_sha1(), nullptr);
    constexpr size_t kBlock = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.get(), kBlock);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = posixError(errno, path);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        EVP_DigestUpdate(ctx.get(), buffer.get(), static_cast<size_t>(n));
    }
    ::close(fd);
    QByteArray digest(kDigestLength, Qt::Uninitialized);
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx.get(), reinterpret_cast<unsigned char *>(digest.data()), &length);
    return digest;
}
