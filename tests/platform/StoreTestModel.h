#pragma once

#include "platform/ManagedObjectContext.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A small model with the shapes the engine must carry: a family with sub-entities (Party →
// Client → Buyer, Party → Seller), a one-to-many pair with cascade (Invoice.lines), a one-to-many
// pair with nullify (Seller.invoices), a one-to-one pair (Invoice.buyer ↔ Buyer.invoice), links
// without inverse (Line.product, Buyer.baseClient) and a deny rule (Category.products).
// Version 1 lacks Client.dueDays, Invoice.note and the Category entity.
inline std::shared_ptr<StoreModel> makeStoreTestModel(int version = 2)
{
    auto model = std::make_shared<StoreModel>(version);
    model->addEntity(QStringLiteral("Party"))
        .addAttribute(QStringLiteral("name"), AttributeType::String)
        .addAttribute(QStringLiteral("createdAt"), AttributeType::Date);
    auto &client = model->addEntity(QStringLiteral("Client"), QStringLiteral("Party"))
                       .addAttribute(QStringLiteral("email"), AttributeType::String)
                       .addAttribute(QStringLiteral("discount"), AttributeType::Decimal);
    if (version >= 2)
        client.addAttribute(QStringLiteral("dueDays"), AttributeType::Integer, 14);
    model->addEntity(QStringLiteral("Buyer"), QStringLiteral("Client"))
        .addToOne(QStringLiteral("invoice"), QStringLiteral("Invoice"), QStringLiteral("buyer"))
        .addToOne(QStringLiteral("baseClient"), QStringLiteral("Client"));
    model->addEntity(QStringLiteral("Seller"), QStringLiteral("Party"))
        .addToMany(QStringLiteral("invoices"), QStringLiteral("Invoice"), QStringLiteral("seller"), DeleteRule::Nullify);
    auto &invoice = model->addEntity(QStringLiteral("Invoice"))
                        .addAttribute(QStringLiteral("number"), AttributeType::String)
                        .addAttribute(QStringLiteral("status"), AttributeType::String, QStringLiteral("DRAFT"))
                        .addAttribute(QStringLiteral("total"), AttributeType::Decimal)
                        .addAttribute(QStringLiteral("issueDate"), AttributeType::Date)
                        .addAttribute(QStringLiteral("paid"), AttributeType::Boolean, false)
                        .addAttribute(QStringLiteral("kind"), AttributeType::Integer)
                        .addAttribute(QStringLiteral("ratio"), AttributeType::Double)
                        .addToMany(QStringLiteral("lines"), QStringLiteral("Line"), QStringLiteral("invoice"),
                                   DeleteRule::Cascade)
                        .addToOne(QStringLiteral("buyer"), QStringLiteral("Buyer"), QStringLiteral("invoice"),
                                  DeleteRule::Cascade)
                        .addToOne(QStringLiteral("seller"), QStringLiteral("Seller"), QStringLiteral("invoices"));
    if (version >= 2)
        invoice.addAttribute(QStringLiteral("note"), AttributeType::String, QStringLiteral("none"));
    model->addEntity(QStringLiteral("Line"))
        .addAttribute(QStringLiteral("name"), AttributeType::String)
        .addAttribute(QStringLiteral("price"), AttributeType::Decimal)
        .addAttribute(QStringLiteral("quantity"), AttributeType::Decimal, 1)
        .addAttribute(QStringLiteral("canceled"), AttributeType::Boolean)
        .addAttribute(QStringLiteral("currency"), AttributeType::String)
        .addToOne(QStringLiteral("invoice"), QStringLiteral("Invoice"), QStringLiteral("lines"))
        .addToOne(QStringLiteral("product"), QStringLiteral("Product"));
    auto &product = model->addEntity(QStringLiteral("Product")).addAttribute(QStringLiteral("name"), AttributeType::String);
    if (version >= 2) {
        product.addToOne(QStringLiteral("category"), QStringLiteral("Category"), QStringLiteral("products"));
        model->addEntity(QStringLiteral("Category"))
            .addAttribute(QStringLiteral("name"), AttributeType::String)
            .addToMany(QStringLiteral("products"), QStringLiteral("Product"), QStringLiteral("category"),
                       DeleteRule::Deny);
    }
    return model;
}

inline QVariant dec(const char *text)
{
    return QVariant::fromValue(Decimal::parse(QString::fromUtf8(text)));
}

inline QStringList namesOf(const QList<ManagedObject *> &objects, const QString &key = QStringLiteral("name"))
{
    QStringList names;
    for (const ManagedObject *o : objects)
        names.append(o->value(key).toString());
    return names;
}

// A store in a temporary folder, reopened at will.
class StoreFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("store.sqlite"));
    }

    void finalizeModel(const std::shared_ptr<StoreModel> &model)
    {
        if (!model->isFinalized())
            model->finalize();
    }

    std::unique_ptr<ManagedObjectContext> openContext(std::shared_ptr<StoreModel> model = nullptr,
                                                      const StoreOpenOptions &options = {})
    {
        if (!model)
            model = makeStoreTestModel();
        finalizeModel(model);
        Error error;
        auto context = ManagedObjectContext::open(m_path, model, options, error);
        EXPECT_TRUE(context) << error.localizedDescription().toStdString();
        return context;
    }

    void reopen(std::shared_ptr<StoreModel> model = nullptr)
    {
        m_context.reset();
        m_context = openContext(std::move(model));
    }

    void saveOrFail()
    {
        Error error;
        ASSERT_TRUE(m_context->save(error)) << error.localizedDescription().toStdString();
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<ManagedObjectContext> m_context;
};
