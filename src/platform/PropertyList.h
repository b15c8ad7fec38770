#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>

// Property lists (XML and binary) read and written through libplist, as plain QVariant trees:
//
//   dict -> QVariantMap      array -> QVariantList    string -> QString
//   integer -> qlonglong     real -> double           bool -> bool
//   date -> QDateTime (UTC)  data -> QByteArray
//
// A property list date counts seconds from 2001-01-01 00:00:00 UTC in a signed 32-bit number, so
// only instants from late 1933 to early 2069 can be written. The XML form keeps whole seconds;
// the binary form keeps microseconds.
class PropertyList
{
public:
    enum class Format { Xml, Binary };

    struct ReadResult
    {
        QVariant value;    // invalid when reading failed
        QString errorText; // why it failed; empty on success

        bool ok() const { return value.isValid(); }
    };

    // Reads XML or binary (told apart by the content). Anything that is not a property list
    // (empty, truncated, random bytes) gives a failed result, never a partial value.
    static ReadResult fromData(const QByteArray &bytes);
    static ReadResult fromFile(const QString &path);

    // Writes a value tree. Fails (nullopt, with a reason) for values a property list cannot hold:
    // a null QVariant anywhere in the tree, a type outside the mapping above, an integer beyond
    // the signed 64-bit range, a date outside the representable range.
    static std::optional<QByteArray> toData(const QVariant &value, Format format = Format::Xml,
                                            QString *errorText = nullptr);
    // Writes the file atomically: the old content stays whole until the new one is complete.
    static bool toFile(const QVariant &value, const QString &path, Format format = Format::Xml,
                       QString *errorText = nullptr);

    // The value as reading it back after writing would give it: integers of every width become
    // qlonglong, floats double, QStringList and QVariantHash become QVariantList and QVariantMap,
    // dates UTC. Invalid (with a reason) when the value cannot be held in a property list.
    static QVariant normalized(const QVariant &value, QString *errorText = nullptr);
};
