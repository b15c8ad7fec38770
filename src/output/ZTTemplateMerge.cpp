#include "ZTTemplateMerge.h"

#include "output/ZTTemplateLibrary.h"
#include "platform/ZTLog.h"


#include <kainjow/mustache.hpp>

namespace mustache = kainjow::mustache;

struct ZTTemplateMerge::Parsed
{
    explicit Parsed(const std::string &text) : engine(text) {}
    mutable mustache::mustache engine;
};

namespace {

mustache::data toData(const QVariant &value);

mustache::data toData(const QVariantMap &map)
{
    mustache::data object{mustache::data::type::object};
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.set(it.key().toStdString(), toData(it.value()));
    return object;
}

mustache::data toData(const QVariant &value)
{
    // The null marker: empty text when printed, false in a section.
    if (!value.isValid() || value.isNull())
        return mustache::data{false};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return mustache::data{value.toBool()};
    case QMetaType::QVariantMap:
        return toData(value.toMap());
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        mustache::data list{mustache::data::type::list};
        const QVariantList items = value.toList();
        for (const QVariant &item : items)
            list.push_back(toData(item));
        return list;
    }
    case QMetaType::QString: {
        const QString text = value.toString();
        // An empty text is false in a section, as the null marker is.
        if (text.isEmpty())
            return mustache::data{false};
        return mustache::data{text.toStdString()};
    }
    default:
        return mustache::data{value.toString().toStdString()};
    }
}

// The shared pieces of the built-in templates, offered to every template as partials.
void addBuiltInPartials(mustache::data &data)
{
    for (const auto &[name, text] : ZTTemplateLibrary::builtInPartials()) {
        const std::string partialText = text.toStdString();
        data.set(name.toStdString(), mustache::partial{[partialText] { return partialText; }});
    }
}

} // namespace

ZTTemplateMerge::ZTTemplateMerge() = default;
ZTTemplateMerge::~ZTTemplateMerge() = default;
ZTTemplateMerge::ZTTemplateMerge(ZTTemplateMerge &&) noexcept = default;
ZTTemplateMerge &ZTTemplateMerge::operator=(ZTTemplateMerge &&) noexcept = default;

bool ZTTemplateMerge::parse(const QString &templateText)
{
    m_error.clear();
    auto parsed = std::make_unique<Parsed>(templateText.toStdString());
    if (!parsed->engine.is_valid()) {
        m_error = QString::fromStdString(parsed->engine.error_message());
        m_parsed.reset();
        return false;
    }
    // The data is HTML source already: a second escape would print "&amp;lt;" for "<".
    parsed->engine.set_custom_escape([](const std::string &text) { return text; });
    m_parsed = std::move(parsed);
    return true;
}

bool ZTTemplateMerge::isValid() const { return m_parsed != nullptr; }

QString ZTTemplateMerge::errorMessage() const { return m_error; }

QString ZTTemplateMerge::render(const QVariantMap &data) const
{
    if (!m_parsed)
        return {};
    mustache::data root = toData(data);
    addBuiltInPartials(root);
    const std::string output = m_parsed->engine.render(root);
    if (!m_parsed->engine.is_valid()) {
        ZTLOG(QStringLiteral("template rendering failed: %1")
                  .arg(QString::fromStdString(m_parsed->engine.error_message())));
        return {};
    }
    return QString::fromStdString(output);
}

QString ZTTemplateMerge::merge(const QString &templateText, const QVariantMap &data, bool *ok)
{
    ZTTemplateMerge merge;
    const bool parsed = merge.parse(templateText);
    if (ok)
        *ok = parsed;
    return merge.render(data);
}
