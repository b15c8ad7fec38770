#pragma once

#include <QString>
#include <QVariantMap>

#include <memory>

// The "{{ }}" template merge. Template data is HTML source already (the data builder escapes
// the user's texts), so the merge does not escape again: {{name}} and {{{name}}} both insert
// the text as it is. The null marker (an invalid QVariant) and an empty text print nothing and
// are false in sections; booleans are booleans, numbers print in C notation.
//
// {{> name}} includes the built-in partial ":/templates/partials/name.html", so the built-in
// templates can share their style sheet and common blocks.
class ZTTemplateMerge
{
public:
    ZTTemplateMerge();
    ~ZTTemplateMerge();
    ZTTemplateMerge(ZTTemplateMerge &&) noexcept;
    ZTTemplateMerge &operator=(ZTTemplateMerge &&) noexcept;

    // Parses a template text; false (with the engine's reason in errorMessage) on a malformed
    // text, after which the template is empty and renders as "".
    bool parse(const QString &templateText);
    bool isValid() const;
    QString errorMessage() const;

    // The merged text; "" for an empty or failed template, or when rendering itself fails.
    QString render(const QVariantMap &data) const;

    // Shortcut: parse and render; an unparsable text gives "" and sets *ok to false.
    static QString merge(const QString &templateText, const QVariantMap &data, bool *ok = nullptr);

private:
    struct Parsed;
    std::unique_ptr<Parsed> m_parsed;
    QString m_error;
};
