#include "StoreTestModel.h"

#include "platform/TextMatcher.h"
#include "platform/ZTLog.h"

#include <QTimeZone>

TEST(PredicateText, FoldingTreatsPolishLettersRight)
{
    const int both = MatchCaseInsensitive | MatchDiacriticInsensitive;
    EXPECT_EQ(TextMatcher::fold(QStringLiteral("Łódź Sp. z o.o."), both), QStringLiteral("lodz sp. z o.o."));
    EXPECT_EQ(TextMatcher::fold(QStringLiteral("ZAŻÓŁĆ GĘŚLĄ JAŹŃ"), both), QStringLiteral("zazolc gesla jazn"));
    EXPECT_EQ(TextMatcher::fold(QStringLiteral("ŁÓDŹ"), MatchCaseInsensitive), QStringLiteral("łódź"));
    EXPECT_EQ(TextMatcher::fold(QStringLiteral("Łódź"), MatchDiacriticInsensitive), QStringLiteral("Lodz"));
    // A decomposed "ó" equals the precomposed one.
    EXPECT_TRUE(TextMatcher::matches(QStringLiteral("Ło\u0301dź"), QStringLiteral("Łódź"), StringMatch::Like, 0));

    struct Case
    {
        const char *pattern;
        bool matches;
    };
    for (const Case &c : {Case{"*", true}, Case{"a*c", true}, Case{"a?c", true}, Case{"a?c*", true},
                          Case{"*b*", true}, Case{"a*b*c", true}, Case{"abcd", false}, Case{"?", false},
                          Case{"*c", true}, Case{"b*", false}, Case{"a**", true}}) {
        EXPECT_EQ(TextMatcher::wildcardMatch(u"abc", QString::fromLatin1(c.pattern)), c.matches) << c.pattern;
    }
}

// Every case runs twice: in SQL (a fresh context answers a fetch from the store alone) and in
// memory (evaluate on the loaded objects). Both must give the expected names.
class PredicateCases : public StoreFixture
{
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        m_context = openContext();
        struct Row
        {
            const char *name;
            const char *email;
            const char *discount;
            int dueDays;
            QDate created;
        };
        const QList<Row> rows = {
            {"Łódź Sp. z o.o.", nullptr, "0.1", 14, {2024, 1, 15}},
            {"Kraków SA", "biuro@krakow.pl", "0.05", 30, {2024, 2, 1}},
            {"lodz handel", "", nullptr, 7, {2024, 1, 31}},
            {"Gdańsk", "info@gdansk.pl", "10", 0, {}},
        };
        for (const Row &r : rows) {
            ManagedObject *c = m_context->insertNewObject(QStringLiteral("Client"));
            c->setValue(QStringLiteral("name"), QString::fromUtf8(r.name));
            c->setValue(QStringLiteral("email"), r.email ? QVariant(QString::fromUtf8(r.email)) : QVariant());
            c->setValue(QStringLiteral("discount"), r.discount ? dec(r.discount) : QVariant());
            c->setValue(QStringLiteral("dueDays"), r.dueDays);
            if (r.created.isValid())
                c->setValue(QStringLiteral("createdAt"), r.created.startOfDay());
        }
        // A sub-entity row that matches most conditions but must never be returned.
        m_context->insertNewObject(QStringLiteral("Buyer"))->setValue(QStringLiteral("name"), QStringLiteral("Łódź kupiec"));
        saveOrFail();
        reopen();
    }

    void check(const Predicate &predicate, QStringList expected)
    {
        SCOPED_TRACE(predicate.description().toStdString());
        expected.sort();
        reopen();
        QStringList fromSql = namesOf(m_context->fetch(FetchRequest(QStringLiteral("Client"), predicate)));
        fromSql.sort();
        EXPECT_EQ(fromSql, expected) << "SQL";
        EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Client"), predicate)), expected.size());
        QStringList inMemory;
        for (ManagedObject *o : m_context->fetch(FetchRequest(QStringLiteral("Client")))) {
            if (predicate.evaluate(*o))
                inMemory.append(o->value(QStringLiteral("name")).toString());
        }
        inMemory.sort();
        EXPECT_EQ(inMemory, expected) << "memory";
    }
};

TEST_F(PredicateCases, SqlAndMemoryAgree)
{
    const QString lodz = QStringLiteral("Łódź Sp. z o.o.");
    const QString krakow = QStringLiteral("Kraków SA");
    const QString handel = QStringLiteral("lodz handel");
    const QString gdansk = QStringLiteral("Gdańsk");
    const QDateTime feb1 = QDate(2024, 2, 1).startOfDay();
    const int ci = MatchCaseInsensitive;
    const QList<std::pair<Predicate, QStringList>> cases = {
        {Predicate::truePredicate(), {lodz, krakow, handel, gdansk}},
        {Predicate::equal(QStringLiteral("name"), krakow), {krakow}},
        {Predicate::equal(QStringLiteral("name"), QStringLiteral("kraków sa")), {}},
        {Predicate::notEqual(QStringLiteral("name"), krakow), {lodz, handel, gdansk}},
        // Decimals compare as numbers ("10" > "0.1" although it sorts before it as text).
        {Predicate::greater(QStringLiteral("discount"), dec("0.05")), {lodz, gdansk}},
        {Predicate::greaterOrEqual(QStringLiteral("discount"), 1), {gdansk}},
        {Predicate::equal(QStringLiteral("discount"), dec("0.100")), {lodz}},
        {Predicate::equal(QStringLiteral("discount"), QVariant()), {handel}},
        {Predicate::notEqual(QStringLiteral("discount"), QVariant()), {lodz, krakow, gdansk}},
        {Predicate::notEqual(QStringLiteral("discount"), dec("0.1")), {krakow, handel, gdansk}},
        {Predicate::less(QStringLiteral("discount"), QVariant()), {}},
        {Predicate::less(QStringLiteral("dueDays"), 14), {handel, gdansk}},
        {Predicate::lessOrEqual(QStringLiteral("dueDays"), 14), {lodz, handel, gdansk}},
        // A range of dates; an empty date is in no range.
        {Predicate::greaterOrEqual(QStringLiteral("createdAt"), QDate(2024, 1, 15).startOfDay()) &&
             Predicate::less(QStringLiteral("createdAt"), feb1),
         {lodz, handel}},
        {Predicate::greaterOrEqual(QStringLiteral("createdAt"), feb1.toTimeZone(QTimeZone::utc())), {krakow}},
        {Predicate::in(QStringLiteral("dueDays"), {7, 30, 99}), {krakow, handel}},
        {Predicate::in(QStringLiteral("discount"), {dec("10.0"), QStringLiteral("0.05")}), {krakow, gdansk}},
        {Predicate::in(QStringLiteral("name"), {}), {}},
        {Predicate::equal(QStringLiteral("email"), QString()), {handel}}, // empty text is not "none"
        {Predicate::equal(QStringLiteral("email"), QVariant()), {lodz}},
        // NOT of a comparison with an empty value holds, in SQL as in memory.
        {!Predicate::equal(QStringLiteral("email"), QStringLiteral("info@gdansk.pl")), {lodz, krakow, handel}},
        {!Predicate::greater(QStringLiteral("discount"), dec("0.05")), {krakow, handel}},
        {Predicate::less(QStringLiteral("dueDays"), 10) || Predicate::equal(QStringLiteral("name"), krakow),
         {krakow, handel, gdansk}},
        {Predicate::orOf({}), {}},
        {Predicate::andOf({}), {lodz, krakow, handel, gdansk}},
        {Predicate::contains(QStringLiteral("email"), QStringLiteral("@")), {krakow, gdansk}},
        {Predicate::like(QStringLiteral("email"), QStringLiteral("*.pl")), {krakow, gdansk}},
        {Predicate::like(QStringLiteral("name"), QStringLiteral("Gda?sk")), {gdansk}},
        {Predicate::like(QStringLiteral("name"), QStringLiteral("gda?sk")), {}},
        {Predicate::beginsWith(QStringLiteral("name"), QStringLiteral("kra"), ci), {krakow}},
        {Predicate::match(QStringLiteral("name"), StringMatch::EndsWith, QStringLiteral("SA")), {krakow}},
    };
    for (const auto &[predicate, expected] : cases)
        check(predicate, expected);
}

TEST_F(PredicateCases, PolishNamesMatchWithoutCaseAndDiacritics)
{
    const QString lodz = QStringLiteral("Łódź Sp. z o.o.");
    const QString handel = QStringLiteral("lodz handel");
    const int cd = MatchCaseInsensitive | MatchDiacriticInsensitive;
    const QList<std::pair<Predicate, QStringList>> cases = {
        {Predicate::contains(QStringLiteral("name"), QStringLiteral("lodz"), cd), {lodz, handel}},
        {Predicate::contains(QStringLiteral("name"), QStringLiteral("ŁÓDŹ"), cd), {lodz, handel}},
        {Predicate::like(QStringLiteral("name"), QStringLiteral("lodz*"), cd), {lodz, handel}},
        {Predicate::like(QStringLiteral("name"), QStringLiteral("ŁÓDŹ*"), cd), {lodz, handel}},
        {Predicate::like(QStringLiteral("name"), QStringLiteral("ŁÓDŹ*"), MatchCaseInsensitive), {lodz}},
        {Predicate::contains(QStringLiteral("name"), QStringLiteral("lodz"), MatchCaseInsensitive), {handel}},
        {Predicate::contains(QStringLiteral("name"), QStringLiteral("lodz"), MatchDiacriticInsensitive), {handel}},
        {Predicate::contains(QStringLiteral("name"), QStringLiteral("Lodz"), MatchDiacriticInsensitive), {lodz}},
        {Predicate::contains(QStringLiteral("name"), QStringLiteral("ŁÓDŹ")), {}},
        {Predicate::beginsWith(QStringLiteral("name"), QStringLiteral("LODZ SP"), cd), {lodz}},
        {Predicate::contains(QStringLiteral("name"), QStringLiteral("gdansk"), cd), {QStringLiteral("Gdańsk")}},
    };
    for (const auto &[predicate, expected] : cases)
        check(predicate, expected);
}

TEST_F(PredicateCases, UnsavedChangesMeetThePredicateInMemory)
{
    const Predicate lodzLike = Predicate::like(QStringLiteral("name"), QStringLiteral("*lodz*"),
                                               MatchCaseInsensitive | MatchDiacriticInsensitive);
    ManagedObject *gdansk =
        m_context->fetch(FetchRequest(QStringLiteral("Client"), Predicate::equal(QStringLiteral("dueDays"), 0))).first();
    gdansk->setValue(QStringLiteral("name"), QStringLiteral("Filia ŁÓDŹ"));
    ManagedObject *handel =
        m_context->fetch(FetchRequest(QStringLiteral("Client"), Predicate::equal(QStringLiteral("dueDays"), 7))).first();
    handel->setValue(QStringLiteral("name"), QStringLiteral("Poznań"));
    m_context->insertNewObject(QStringLiteral("Client"))->setValue(QStringLiteral("name"), QStringLiteral("łodzianka"));
    const QStringList names = namesOf(m_context->fetch(
        FetchRequest(QStringLiteral("Client"), lodzLike, {{QStringLiteral("name"), true, true}})));
    EXPECT_EQ(names, (QStringList{QStringLiteral("Filia ŁÓDŹ"), QStringLiteral("łodzianka"), QStringLiteral("Łódź Sp. z o.o.")}));
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Client"), lodzLike)), 3);
}

TEST(PredicateErrors, KeyPathsAndValuesThatDoNotFitTheModelAreRefused)
{
    auto model = makeStoreTestModel();
    model->finalize();
    QTemporaryDir dir;
    Error error;
    auto context = ManagedObjectContext::open(dir.filePath(QStringLiteral("s.sqlite")), model, {}, error);
    ASSERT_TRUE(context);
    ManagedObject *line = context->insertNewObject(QStringLiteral("Line"));
    EXPECT_THROW(Predicate::equal(QStringLiteral("nosuch"), 1).evaluate(*line), InternalConsistencyError);
    EXPECT_THROW(Predicate::equal(QStringLiteral("invoice.lines"), 1).evaluate(*line), InternalConsistencyError);
    EXPECT_THROW(Predicate::equal(QStringLiteral("price"), QStringLiteral("abc")).evaluate(*line),
                 InternalConsistencyError);
    EXPECT_THROW(context->fetch(FetchRequest(QStringLiteral("Line"), Predicate::equal(QStringLiteral("nosuch"), 1))),
                 InternalConsistencyError);
}
