#include "ZTCurrency.h"

#include "ZTCurrencyManager.h"

#include "platform/ZTLog.h"

ZTCurrency::ZTCurrency(const QString &name, const QString &code, const QString &symbol)
    : m_name(name), m_code(code), m_symbol(symbol)
{
    ZT_ASSERT_TEXT(!name.isEmpty(), "n");
    ZT_ASSERT_TEXT(!code.isEmpty(), "c");
    ZT_ASSERT_TEXT(!symbol.isEmpty(), "s");
}

bool ZTCurrency::isDefault() const
{
    return m_code == ZTCurrencyManager::sharedInstance().defaultCurrencyCode();
}
