#pragma once

#include "platform/Error.h"

#include <QJsonValue>

// Writes one JSON value (object, array or scalar) and a line break to stdout.
void printJson(const QJsonValue &value);
// Writes {"error": {"domain", "code", "messages"}} to stdout.
void printError(const Error &error);
