// Build step: writes a resource file in the enciphered form the program reads it back from.
//   tolvana-encipher PLAIN OUTPUT
#include "platform/ResourceCipher.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tolvana-encipher PLAIN OUTPUT\n");
        return 2;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray enciphered = ResourceCipher::encipher(input.readAll());
    QSaveFile output(QString::fromLocal8Bit(argv[2]));
    if (enciphered.isEmpty() || !output.open(QIODevice::WriteOnly) || output.write(enciphered) != enciphered.size() ||
        !output.commit()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
