#include "ZTTemplateLibrary.h"

#include "app/ZTAppController.h"
#include "model/ZTDocument.h"
#include "platform/ResourceCipher.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

const QString ZTTemplateLibrary::kCustomTemplatesEnabledKey = QStringLiteral("ZTCustomTemplatesEnabled");

namespace {

QString readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool attribute(const QVariantMap &attributes, const char *key)
{
    return attributes.value(QString::fromLatin1(key)).toBool();
}

} // namespace

QList<int> ZTTemplateLibrary::customTemplateKinds() { return {1, 2, 4, 16, 32, 64, 128}; }

bool ZTTemplateLibrary::areCustomTemplatesValid()
{
    const QList<int> kinds = customTemplateKinds();
    for (int kind : kinds) {
        const QFileInfo file(ZTAppController::customTemplatePathForDocumentKind(ZTDocument::shortNameForDocumentKind(kind)));
        if (!file.exists() || file.size() == 0)
            return false;
    }
    return true;
}

bool ZTTemplateLibrary::useCustomTemplates()
{
    return SettingsStore::standard().boolValue(kCustomTemplatesEnabledKey) && areCustomTemplatesValid();
}

QString ZTTemplateLibrary::builtInTemplateName(const QVariantMap &documentAttributes)
{
    static const struct
    {
        const char *test;
        const char *name;
    } groups[] = {
        {"isCorrectiveInvoice", "docCorrectiveInvoice"},
        {"isBill", "docBill"},
        {"isAdvanceInvoice", "docAdvanceInvoice"},
        {"isProformaInvoice", "docProForma"},
        {"isMarginInvoice", "docMarginInvoice"},
        {"isSimplifiedInvoice", "docSimplifiedInvoice"},
    };
    QString name = QStringLiteral("docInvoice");
    for (const auto &group : groups) {
        if (attribute(documentAttributes, group.test)) {
            name = QString::fromLatin1(group.name);
            break;
        }
    }
    if (attribute(documentAttributes, "hasSecondLanguage"))
        name += QStringLiteral("Bilingual");
    return name;
}

QString ZTTemplateLibrary::builtInTemplateText(const QString &name)
{
    return builtInText(QStringLiteral(":/templates/%1.html").arg(name));
}

QString ZTTemplateLibrary::builtInText(const QString &resourcePath)
{
    // Deciphered once: every document of an export reads the same few templates.
    static QMutex mutex;
    static QHash<QString, QString> texts;
    const QMutexLocker locker(&mutex);
    const auto known = texts.constFind(resourcePath);
    if (known != texts.constEnd())
        return *known;
    QString text;
    QFile file(resourcePath);
    if (file.open(QIODevice::ReadOnly)) {
        const std::optional<QByteArray> plain = ResourceCipher::decipher(file.readAll());
        if (plain)
            text = QString::fromUtf8(*plain);
        else
            ZTLOG(QStringLiteral("built-in template %1 is damaged").arg(resourcePath));
    }
    texts.insert(resourcePath, text);
    return text;
}

QList<QPair<QString, QString>> ZTTemplateLibrary::builtInPartials()
{
    static const QList<QPair<QString, QString>> partials = [] {
        QList<QPair<QString, QString>> found;
        const QDir folder(QStringLiteral(":/templates/partials"));
        for (const QString &fileName : folder.entryList({QStringLiteral("*.html")}, QDir::Files))
            found.append({fileName.chopped(5), builtInText(folder.filePath(fileName))});
        return found;
    }();
    return partials;
}

QString ZTTemplateLibrary::documentTemplateText(const QVariantMap &documentAttributes)
{
    if (useCustomTemplates()) {
        const int kind = documentAttributes.value(QStringLiteral("documentKind")).toInt();
        return readUtf8(ZTAppController::customTemplatePathForDocumentKind(ZTDocument::shortNameForDocumentKind(kind)));
    }
    return builtInTemplateText(builtInTemplateName(documentAttributes));
}

QString ZTTemplateLibrary::settlementsTemplateText() { return builtInTemplateText(QStringLiteral("docSettlements")); }

QString ZTTemplateLibrary::documentBaseDirectory() { return ZTAppController::customTemplatesFolder(); }

QString ZTTemplateLibrary::settlementsBaseDirectory() { return QStringLiteral(":/templates"); }
