#include "AppControllerFixture.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

namespace {

// A note refuses to be saved while its text is "zła", so a save can be made to fail at will.
class Note : public ManagedObject
{
public:
    bool validateForInsert(Error &error) override { return check(error); }
    bool validateForUpdate(Error &error) override { return check(error); }

private:
    bool check(Error &error) const
    {
        if (value(QStringLiteral("text")).toString() != QStringLiteral("zła"))
            return true;
        error = Error::withMessage(Error::applicationDomain(), 1, QStringLiteral("Notatka jest zła."));
        return false;
    }
};

std::shared_ptr<const StoreModel> noteModel()
{
    auto model = std::make_shared<StoreModel>(1);
    model->addEntity(QStringLiteral("Note")).addAttribute(QStringLiteral("text"), AttributeType::String);
    model->registerClass<Note>(QStringLiteral("Note"));
    model->finalize();
    return model;
}

class AppControllerSave : public AppControllerFixture
{
protected:
    void SetUp() override
    {
        AppControllerFixture::SetUp();
        controller = std::make_unique<ZTAppController>(*settings, *defaults);
        controller->setStoreModel(noteModel());
        controller->setErrorPresenter([this](const Error &e) { presented.append(e.localizedDescription()); });
        controller->bootstrapCoreData();
        context = controller->managedObjectContext();
        ASSERT_TRUE(context);
    }

    ManagedObject *note(const QString &text)
    {
        ManagedObject *n = context->insertNewObject(QStringLiteral("Note"));
        n->setValue(QStringLiteral("text"), text);
        return n;
    }
    QStringList texts()
    {
        QStringList list;
        for (ManagedObject *n : context->fetch(FetchRequest(QStringLiteral("Note"))))
            list.append(n->value(QStringLiteral("text")).toString());
        list.sort();
        return list;
    }
    // What another reader of the file sees: only committed data.
    QStringList committedTexts()
    {
        Error error;
        auto other = ManagedObjectContext::open(controller->coreData()->fullStorePath(), noteModel(), {}, error);
        QStringList list;
        for (ManagedObject *n : other->fetch(FetchRequest(QStringLiteral("Note"))))
            list.append(n->value(QStringLiteral("text")).toString());
        list.sort();
        return list;
    }
    QStringList saveLogLines() const { return log.filter(QStringLiteral("save failed")); }

    ManagedObjectContext *context = nullptr;
    QStringList presented;
};

} // namespace

TEST_F(AppControllerSave, AsynchronousSavesRunAfterTheCurrentEventInRequestOrder)
{
    note(QStringLiteral("pierwsza"));
    controller->saveCoreDataContext(false, false);
    EXPECT_TRUE(context->hasChanges()) << "nothing is saved before the current event ends";

    // Every queued save meets the bad note and fails; their flags tell them apart in the log.
    note(QStringLiteral("zła"));
    controller->saveCoreDataContext(true, false);
    controller->saveCoreDataContext(false, true);
    EXPECT_TRUE(saveLogLines().isEmpty());

    QStringList threads;
    ZTLog::setSink([&](const QString &line) {
        log.append(line);
        threads.append(QThread::currentThread() == QCoreApplication::instance()->thread() ? QStringLiteral("main")
                                                                                           : QStringLiteral("other"));
    });
    QEventLoop loop;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); // queued after the saves
    loop.exec();

    const QString tail = QStringLiteral(" - error description: Notatka jest zła. userInfo: {message = Notatka jest zła.}");
    QStringList expected{QStringLiteral("save failed. verbosity: 0 rollback: 0") + tail,
                         QStringLiteral("save failed. verbosity: 1 rollback: 0") + tail,
                         QStringLiteral("save failed. verbosity: 0 rollback: 1") + tail};
    QStringList seen = saveLogLines();
    // Log lines carry "file:line function; " before the message.
    for (QString &line : seen)
        line = line.section(QStringLiteral("; "), 1);
    EXPECT_EQ(seen, expected) << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(threads.filter(QStringLiteral("other")).isEmpty());
    EXPECT_EQ(presented, QStringList{QStringLiteral("Notatka jest zła.")}) << "only the verbose save presents";
    EXPECT_FALSE(context->hasChanges());
    EXPECT_TRUE(texts().isEmpty()) << "the rollback discarded both unsaved notes";
    EXPECT_TRUE(committedTexts().isEmpty());

    note(QStringLiteral("druga"));
    controller->saveCoreDataContext(false, false);
    note(QStringLiteral("trzecia"));
    controller->saveCoreDataContext(false, false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(context->hasChanges());
    EXPECT_EQ(committedTexts(), (QStringList{QStringLiteral("druga"), QStringLiteral("trzecia")}));
}

TEST_F(AppControllerSave, FailedSaveRollsBackOnlyWhenAsked)
{
    for (const bool rollback : {true, false}) {
        SCOPED_TRACE(rollback ? "rollback" : "no rollback");
        for (ManagedObject *n : context->fetch(FetchRequest(QStringLiteral("Note"))))
            context->deleteObject(n);
        ManagedObject *kept = note(QStringLiteral("zapisana"));
        controller->saveCoreDataContext(false, false, true);
        ASSERT_FALSE(context->hasChanges());
        presented.clear();

        kept->setValue(QStringLiteral("text"), QStringLiteral("zmieniona"));
        ManagedObject *bad = note(QStringLiteral("zła"));
        controller->saveCoreDataContext(false, rollback, true);

        EXPECT_TRUE(presented.isEmpty()) << "a quiet save presents nothing";
        EXPECT_EQ(committedTexts(), QStringList{QStringLiteral("zapisana")});
        if (rollback) {
            EXPECT_FALSE(context->hasChanges());
            EXPECT_EQ(texts(), QStringList{QStringLiteral("zapisana")});
        } else {
            EXPECT_TRUE(context->hasChanges());
            EXPECT_EQ(texts(), (QStringList{QStringLiteral("zmieniona"), QStringLiteral("zła")}));
            // The changes wait for a later save.
            bad->setValue(QStringLiteral("text"), QStringLiteral("poprawiona"));
            controller->saveCoreDataContext(false, false, true);
            EXPECT_EQ(committedTexts(), (QStringList{QStringLiteral("poprawiona"), QStringLiteral("zmieniona")}));
        }
    }
}

TEST_F(AppControllerSave, SaveBeforeQuitIsSynchronousAndVerbose)
{
    note(QStringLiteral("zła"));
    controller->saveBeforeQuit();
    EXPECT_EQ(presented, QStringList{QStringLiteral("Notatka jest zła.")});
    EXPECT_TRUE(context->hasChanges()) << "quitting never throws the user's changes away";
}
