// Memory that runs out in an editor command ends that command with a message,
// never the editor: the application catches it where every event goes.
#include <QtTest>

#include <new>

#include "base/Messages.h"
#include "shell/AppServices.h"
#include "shell/CKeshApp.h"
#include "support/ScriptedUserServices.h"

namespace {

// A command whose handler runs out of memory.
class Greedy : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::bad_alloc();
        return QObject::event(event);
    }
};

} // namespace

class OutOfMemoryTest : public QObject {
    Q_OBJECT
private slots:
    void aCommandOutOfMemoryIsReportedAndTheEditorGoesOn() {
        kesh::test::ScriptedUserServices user;
        kesh::ui::SetAppServices(&user);
        Greedy greedy;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&greedy, &event));
        QCOMPARE(user.messages(), std::vector<std::string>{kesh::msg::kOutOfMemory});
        // The next command runs as ever.
        QEvent other(QEvent::Timer);
        QCoreApplication::sendEvent(&greedy, &other);
        QCOMPARE(user.messages().size(), size_t(1));
        kesh::ui::SetAppServices(nullptr);
    }
};

int main(int argc, char** argv) {
    kesh::ui::CKeshApp app(argc, argv);
    OutOfMemoryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "OutOfMemoryTest.moc"
