#include "common/TestMain.h"

#include "doc/Document.h"
#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"
#include "doc/InputFunctions.h"
#include "doc/UpdateScope.h"
#include "err/Deserialize.h"
#include "err/IoError.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

// A leaf element with one integer property "count".
class Leaf : public doc::DocumentElement
{
public:
    using DocumentElement::DocumentElement;

    void setCount(int count)
    {
        if (count == m_count) {
            return;
        }
        m_count = count;
        propertyChanged(QStringLiteral("count"));
    }

    QVariant toData() const override { return QVariantMap{{QStringLiteral("count"), m_count}}; }
    void setFromDataOrThrow(const QVariant& data) override
    {
        const QVariantMap map = data.toMap();
        if (map.contains(QStringLiteral("fail"))) {
            throw err::IoError(QStringLiteral("Not readable."));
        }
        if (!map.contains(QStringLiteral("count"))) {
            throw err::Deserialize(QStringLiteral("Missing count."), QStringLiteral("count"));
        }
        m_count = map.value(QStringLiteral("count")).toInt();
        documentElementReset();
    }

private:
    int m_count = 0;
};

// A container with a text property "name" that owns children under keys and passes their property
// changes upward as paths, as every container of the document does.
class Branch : public doc::DocumentElement, private doc::DocumentChangeListener
{
public:
    using DocumentElement::DocumentElement;
    ~Branch() override
    {
        for (const auto& child : m_children) {
            child.second->removeListener(this);
        }
    }

    template<typename Element>
    std::shared_ptr<Element> addChild(const QString& key)
    {
        auto child = std::make_shared<Element>(document());
        child->addListener(this);
        m_children.emplace_back(key, child);
        return child;
    }

    void setName(const QString& name)
    {
        if (name == m_name) {
            return;
        }
        m_name = name;
        propertyChanged(QStringLiteral("name"));
    }

    QVariant toData() const override
    {
        QVariantMap map;
        for (const auto& child : m_children) {
            map.insert(child.first, child.second->toData());
        }
        return map;
    }
    void setFromDataOrThrow(const QVariant& data) override
    {
        const QVariantMap map = data.toMap();
        for (const auto& child : m_children) {
            child.second->setFromDataOrThrowWithKey(child.first, map.value(child.first));
        }
        documentElementReset();
    }

private:
    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement* element) override
    {
        for (const auto& child : m_children) {
            if (child.second.get() == element) {
                propertyChanged(child.first, name);
                return;
            }
        }
    }

    QString m_name;
    std::vector<std::pair<QString, std::shared_ptr<doc::DocumentElement>>> m_children;
};

// Records every announcement as a text and runs an optional action in each callback.
class Recorder : public doc::DocumentChangeListener
{
public:
    explicit Recorder(QStringList* log = nullptr, QString tag = {}) : m_log(log), m_tag(std::move(tag)) {}

    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement* element) override
    {
        lastElement = element;
        record(QStringLiteral("property:") + name);
    }
    void onDocumentElementAdded(const QString& name) override { record(QStringLiteral("added:") + name); }
    void onDocumentElementRemoved(const QString& name) override { record(QStringLiteral("removed:") + name); }
    void onDocumentElementReset() override { record(QStringLiteral("reset")); }

    QStringList events;
    const doc::DocumentElement* lastElement = nullptr;
    std::function<void()> action;

private:
    void record(const QString& event)
    {
        events.append(event);
        if (m_log != nullptr) {
            m_log->append(m_tag);
        }
        if (action) {
            action();
        }
    }

    QStringList* m_log;
    QString m_tag;
};

// document - "properties" (name, "worldColor" - "hue" (count)) - "items" ("item-1" (name, "size" (count),
// "functions" (a chain)))
struct Tree {
    std::shared_ptr<doc::Document> document = std::make_shared<doc::Document>();
    std::shared_ptr<Branch> root = std::make_shared<Branch>(document.get());
    std::shared_ptr<Branch> properties = root->addChild<Branch>(QStringLiteral("properties"));
    std::shared_ptr<Branch> worldColor = properties->addChild<Branch>(QStringLiteral("worldColor"));
    std::shared_ptr<Leaf> hue = worldColor->addChild<Leaf>(QStringLiteral("hue"));
    std::shared_ptr<Branch> items = root->addChild<Branch>(QStringLiteral("items"));
    std::shared_ptr<Branch> item = items->addChild<Branch>(QStringLiteral("item-1"));
    std::shared_ptr<Leaf> size = item->addChild<Leaf>(QStringLiteral("size"));
    std::shared_ptr<doc::InputFunctions> functions = item->addChild<doc::InputFunctions>(QStringLiteral("functions"));
};

using Edit = std::function<void(Tree&)>;

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestNotification : public QObject
{
    Q_OBJECT

private slots:
    void editsReachTheTopAsPaths_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("path");

        QTest::newRow("own property") << Edit([](Tree& t) { t.root->setName(QStringLiteral("a")); })
                                      << QStringLiteral("name");
        QTest::newRow("child property") << Edit([](Tree& t) { t.properties->setName(QStringLiteral("a")); })
                                        << QStringLiteral("properties/name");
        QTest::newRow("three levels down") << Edit([](Tree& t) { t.hue->setCount(3); })
                                           << QStringLiteral("properties/worldColor/hue/count");
        QTest::newRow("item property") << Edit([](Tree& t) { t.item->setName(QStringLiteral("a")); })
                                       << QStringLiteral("items/item-1/name");
        QTest::newRow("item child") << Edit([](Tree& t) { t.size->setCount(-1); })
                                    << QStringLiteral("items/item-1/size/count");
        QTest::newRow("chain step replaced")
            << Edit([](Tree& t) {
                   t.functions->replaceFunction(
                       0, doc::InputFunction::create(QStringLiteral("x^2"), doc::InputFunctionOperator::Add,
                                                     doc::InputFunctionSource::Input));
               })
            << QStringLiteral("items/item-1/functions/0");
    }

    void editsReachTheTopAsPaths()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, path);
        Tree tree;
        tree.functions->appendFunction(doc::InputFunction::create(
            QStringLiteral("linear"), doc::InputFunctionOperator::Map, doc::InputFunctionSource::Result));
        Recorder top;
        tree.root->addListener(&top);

        edit(tree);

        QCOMPARE(top.events, QStringList{QStringLiteral("property:") + path});
        QCOMPARE(top.lastElement, tree.root.get());
        tree.root->removeListener(&top);
    }

    void eachLevelSeesItsOwnPathAndItself()
    {
        Tree tree;
        Recorder atColor;
        Recorder atProperties;
        tree.worldColor->addListener(&atColor);
        tree.properties->addListener(&atProperties);

        tree.hue->setCount(7);

        QCOMPARE(atColor.events, QStringList{QStringLiteral("property:hue/count")});
        QCOMPARE(atColor.lastElement, tree.worldColor.get());
        QCOMPARE(atProperties.events, QStringList{QStringLiteral("property:worldColor/hue/count")});
        QCOMPARE(atProperties.lastElement, tree.properties.get());
        tree.worldColor->removeListener(&atColor);
        tree.properties->removeListener(&atProperties);
    }

    void equalValueAnnouncesNothing()
    {
        Tree tree;
        tree.hue->setCount(4);
        tree.root->setName(QStringLiteral("same"));
        Recorder top;
        tree.root->addListener(&top);

        tree.hue->setCount(4);
        tree.root->setName(QStringLiteral("same"));

        QVERIFY(top.events.isEmpty());
        tree.root->removeListener(&top);
    }

    void listenersAreCalledInRegistrationOrder()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        QStringList order;
        Recorder first(&order, QStringLiteral("first"));
        Recorder second(&order, QStringLiteral("second"));
        Recorder third(&order, QStringLiteral("third"));
        leaf.addListener(&second);
        leaf.addListener(&first);
        leaf.addListener(&third);

        leaf.setCount(1);

        QCOMPARE(order, (QStringList{QStringLiteral("second"), QStringLiteral("first"), QStringLiteral("third")}));
        leaf.removeListener(&first);
        leaf.removeListener(&second);
        leaf.removeListener(&third);
    }

    void listenerAddedTwiceIsCalledTwiceAndRemovedOnce()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        Recorder twice;
        Recorder other;
        leaf.addListener(&twice);
        leaf.addListener(&other);
        leaf.addListener(&twice);

        leaf.setCount(1);
        QCOMPARE(twice.events.size(), 2);

        leaf.removeListener(&twice);
        leaf.setCount(2);
        QCOMPARE(twice.events.size(), 2);
        QCOMPARE(other.events.size(), 2);

        Recorder stranger;
        leaf.removeListener(&stranger);
        leaf.setCount(3);
        QCOMPARE(other.events.size(), 3);
        leaf.removeListener(&other);
    }

    void listenerRemovesItselfDuringItsCall()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        Recorder leaving;
        Recorder after;
        leaving.action = [&] { leaf.removeListener(&leaving); };
        leaf.addListener(&leaving);
        leaf.addListener(&leaving);
        leaf.addListener(&after);

        leaf.setCount(1);
        leaf.setCount(2);

        QCOMPARE(leaving.events.size(), 1);
        QCOMPARE(after.events.size(), 2);
        leaf.removeListener(&after);
    }

    void listenerRemovedByAnotherIsSkipped()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        Recorder before;
        Recorder remover;
        Recorder removed;
        remover.action = [&] {
            leaf.removeListener(&removed);
            leaf.removeListener(&before);
        };
        leaf.addListener(&before);
        leaf.addListener(&remover);
        leaf.addListener(&removed);

        leaf.setCount(1);
        QCOMPARE(before.events.size(), 1);
        QCOMPARE(removed.events.size(), 0);

        // Removed listeners stay removed for later announcements.
        leaf.setCount(2);
        QCOMPARE(before.events.size(), 1);
        QCOMPARE(remover.events.size(), 2);
        leaf.removeListener(&remover);
    }

    void listenerAddedDuringACallWaitsForTheNextAnnouncement()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        Recorder adder;
        Recorder added;
        adder.action = [&] {
            if (adder.events.size() == 1) {
                leaf.addListener(&added);
            }
        };
        leaf.addListener(&adder);

        leaf.setCount(1);
        QCOMPARE(added.events.size(), 0);
        leaf.setCount(2);
        QCOMPARE(added.events.size(), 1);
        leaf.removeListener(&adder);
        leaf.removeListener(&added);
    }

    void listenerThatLeavesAndComesBackIsCalledOncePerAnnouncement()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        Recorder returning;
        returning.action = [&] {
            leaf.removeListener(&returning);
            leaf.addListener(&returning);
        };
        leaf.addListener(&returning);

        leaf.setCount(1);
        QCOMPARE(returning.events.size(), 1);
        leaf.setCount(2);
        QCOMPARE(returning.events.size(), 2);
        leaf.removeListener(&returning);
    }

    void nestedAnnouncementsKeepTheListConsistent()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        Recorder outer;
        Recorder victim;
        Recorder last;
        outer.action = [&] {
            if (outer.events.size() == 1) {
                leaf.setCount(100); // announces again from inside the first announcement
                leaf.removeListener(&victim);
            }
        };
        leaf.addListener(&outer);
        leaf.addListener(&victim);
        leaf.addListener(&last);

        leaf.setCount(1);

        QCOMPARE(outer.events, (QStringList{QStringLiteral("property:count"), QStringLiteral("property:count")}));
        QCOMPARE(victim.events.size(), 1); // reached by the inner announcement only
        QCOMPARE(last.events.size(), 2);

        leaf.setCount(2);
        QCOMPARE(victim.events.size(), 1);
        QCOMPARE(last.events.size(), 3);
        leaf.removeListener(&outer);
        leaf.removeListener(&last);
    }

    void listenerMayReleaseTheAnnouncingElement()
    {
        auto document = std::make_shared<doc::Document>();
        auto leaf = std::make_shared<Leaf>(document.get());
        Recorder releaser;
        Recorder later;
        releaser.action = [&] { leaf.reset(); };
        leaf->addListener(&releaser);
        leaf->addListener(&later);

        leaf->setCount(1);

        QVERIFY(leaf == nullptr);
        QCOMPARE(releaser.events.size(), 1);
        QCOMPARE(later.events.size(), 0);
    }

    void listenerThrowingLeavesTheListUsable()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        Recorder thrower;
        Recorder removed;
        Recorder kept;
        thrower.action = [&] {
            if (thrower.events.size() == 1) {
                leaf.removeListener(&removed);
                throw err::Error(QStringLiteral("Listener failed."));
            }
        };
        leaf.addListener(&thrower);
        leaf.addListener(&removed);
        leaf.addListener(&kept);

        QVERIFY_THROWS_EXCEPTION(err::Error, leaf.setCount(1));
        leaf.setCount(2);

        QCOMPARE(thrower.events.size(), 2);
        QCOMPARE(removed.events.size(), 0);
        QCOMPARE(kept.events.size(), 1);
        leaf.removeListener(&thrower);
        leaf.removeListener(&kept);
    }

    void newDocumentIsIdleAndItsOwnDocument()
    {
        auto document = std::make_shared<doc::Document>();
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
        QCOMPARE(document->document(), document.get());
        QCOMPARE(document->shared_from_this(), document);
    }

    void scopeRules_data()
    {
        QTest::addColumn<doc::UpdateState>("before");
        QTest::addColumn<bool>("isEditor");
        QTest::addColumn<bool>("isAllowed");
        QTest::addColumn<doc::UpdateState>("inside");

        using S = doc::UpdateState;
        QTest::newRow("control writes when idle") << S::Idle << true << true << S::EditorUpdate;
        QTest::newRow("control writes within an edit") << S::EditorUpdate << true << true << S::EditorUpdate;
        QTest::newRow("control silent during refresh") << S::DocumentUpdate << true << false << S::DocumentUpdate;
        QTest::newRow("listener refreshes when idle") << S::Idle << false << true << S::DocumentUpdate;
        QTest::newRow("listener refreshes during load") << S::DocumentUpdate << false << true << S::DocumentUpdate;
        QTest::newRow("listener silent during edit") << S::EditorUpdate << false << false << S::EditorUpdate;
    }

    void scopeRules()
    {
        QFETCH(doc::UpdateState, before);
        QFETCH(bool, isEditor);
        QFETCH(bool, isAllowed);
        QFETCH(doc::UpdateState, inside);
        auto document = std::make_shared<doc::Document>();
        *document->update() = before;
        {
            doc::UpdateScope scope(document);
            QCOMPARE(scope.state(), before);
            QCOMPARE(isEditor ? scope.beginEditorUpdate() : scope.beginDocumentUpdate(), isAllowed);
            QCOMPARE(*document->update(), inside);
            QCOMPARE(scope.savedState(), before);
        }
        QCOMPARE(*document->update(), before);
    }

    void scopesNestAndRestoreInReverseOrder()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        {
            doc::UpdateScope outer(document);
            QVERIFY(outer.beginEditorUpdate());
            {
                doc::UpdateScope inner(&leaf); // an element's scope is its document's
                QCOMPARE(inner.state(), doc::UpdateState::EditorUpdate);
                QVERIFY(!inner.beginDocumentUpdate());
                inner.setState(doc::UpdateState::DocumentUpdate);
                QCOMPARE(*document->update(), doc::UpdateState::DocumentUpdate);
            }
            QCOMPARE(*document->update(), doc::UpdateState::EditorUpdate);
        }
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
    }

    void scopeWithoutDocumentStandsAlone()
    {
        Leaf orphan(nullptr);
        doc::UpdateScope scope(&orphan);
        QCOMPARE(scope.state(), doc::UpdateState::Idle);
        QVERIFY(scope.beginEditorUpdate());
        QCOMPARE(scope.state(), doc::UpdateState::EditorUpdate);
    }

    void loadingIsIgnoredDuringAnEdit()
    {
        auto document = std::make_shared<doc::Document>();
        Recorder recorder;
        document->addListener(&recorder);
        {
            doc::UpdateScope scope(document);
            QVERIFY(scope.beginEditorUpdate());
            document->setFromDataOrThrow(QVariantMap{});
            QCOMPARE(*document->update(), doc::UpdateState::EditorUpdate);
        }
        QVERIFY(recorder.events.isEmpty());
        document->removeListener(&recorder);
    }

    void loadingRunsAsADocumentUpdate()
    {
        auto document = std::make_shared<doc::Document>();
        Recorder recorder;
        doc::UpdateState during = doc::UpdateState::Idle;
        recorder.action = [&] { during = *document->update(); };
        document->addListener(&recorder);

        document->setFromDataOrThrow(QVariantMap{});

        // The defaults' own changes may come first; the load ends with the document's reset.
        QVERIFY(!recorder.events.isEmpty());
        QCOMPARE(recorder.events.constLast(), QStringLiteral("reset"));
        QCOMPARE(during, doc::UpdateState::DocumentUpdate);
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
        QCOMPARE(document->toData().typeId(), QMetaType::QVariantMap);
        document->removeListener(&recorder);
    }

    void keyIsPutInFrontOfTheKeyPath()
    {
        Tree tree;
        QVariantMap data = tree.root->toData().toMap();
        QVariantMap properties = data.value(QStringLiteral("properties")).toMap();
        properties.insert(QStringLiteral("worldColor"), QVariantMap{{QStringLiteral("hue"), QVariantMap{}}});
        data.insert(QStringLiteral("properties"), properties);
        try {
            tree.root->setFromDataOrThrowWithKey(QStringLiteral("document"), data);
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.reason(),
                     QStringLiteral("Missing count.; keypath=document->properties->worldColor->hue->count"));
        }
    }

    void keyIsPutInFrontOfAChainError()
    {
        Tree tree;
        const QVariantList functions{QVariantMap{{QStringLiteral("identifier"), QStringLiteral("nope")}}};
        try {
            tree.item->setFromDataOrThrowWithKey(
                QStringLiteral("item-1"), QVariantMap{{QStringLiteral("size"), QVariantMap{{QStringLiteral("count"), 1}}},
                                                      {QStringLiteral("functions"), functions}});
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.keyPath(), (QStringList{QStringLiteral("item-1"), QStringLiteral("functions"),
                                                   QStringLiteral("identifier")}));
            QCOMPARE(error.message(), QStringLiteral("Unknown function identifier."));
        }
    }

    void otherErrorsPassUnchanged()
    {
        auto document = std::make_shared<doc::Document>();
        Leaf leaf(document.get());
        try {
            leaf.setFromDataOrThrowWithKey(QStringLiteral("size"), QVariantMap{{QStringLiteral("fail"), true}});
            QFAIL("no error");
        } catch (const err::Deserialize&) {
            QFAIL("wrapped as bad data");
        } catch (const err::IoError& error) {
            QCOMPARE(error.reason(), QStringLiteral("Not readable."));
        }
    }
};

MOTIFEX_TEST_MAIN(TestNotification)
#include "tst_notification.moc"
