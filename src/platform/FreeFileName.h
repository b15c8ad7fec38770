#pragma once

#include <QString>

// A path at which no file exists yet, for writing without replacing anything.
class FreeFileName
{
public:
    // The path itself when nothing is there; otherwise, in the same folder, the first of
    // base-1.ext, base-2.ext, … that does not exist (base: the name without its last
    // extension; a name without extension gets none).
    static QString freePath(const QString &path);
    // The n-th candidate of that search (n = 0 is the path itself).
    static QString candidate(const QString &path, int n);
};
