#pragma once

#include <QJsonValue>
#include <QVariant>

// Converts between property-list shaped values (see PropertyList) and JSON, for tools that
// print or take settings and records as JSON.
namespace JsonValue {

// Maps and lists become objects and arrays; integers, reals, booleans and text keep their
// kind; dates become ISO 8601 text in local time with its UTC offset (milliseconds only when
// there are any); data becomes base64 text; an invalid value becomes null.
QJsonValue fromVariant(const QVariant &value);

// Objects and arrays become QVariantMap and QVariantList; integral numbers qlonglong, other
// numbers double; null and undefined an invalid QVariant. Text stays text: a date or data
// written as text cannot be told from plain text and is not guessed at.
QVariant toVariant(const QJsonValue &value);

} // namespace JsonValue
