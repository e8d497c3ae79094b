#include "CheckRunFixture.h"

#include "WindowActions.h"

#include <QSignalSpy>
#include <QTest>

namespace vorlan::test {

void CheckRunFixture::SetUp() {
    WindowFixture::SetUp();
    checker().settings.requestTimeout = std::chrono::seconds(2);
}

QString CheckRunFixture::shortcut(const QString& name, const QString& address) const {
    return ShortcutSet(programFolder()).shortcut(name, address);
}

CheckItem CheckRunFixture::item(const QString& name, const QString& address,
                                const QString& status) const {
    return ShortcutSet(programFolder()).item(name, address, status);
}

QStringList CheckRunFixture::load(const QList<CheckItem>& items) {
    QStringList rows;
    WindowFixture::load(pathsOf(items, rows));
    return rows;
}

void CheckRunFixture::runCheck() {
    form->setWindowTitle(QStringLiteral("Vorlan"));
    QTest::mouseClick(form->Label5, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !checker().running(); }, 60000));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("DONE! - Vorlan"));
}

QStringList CheckRunFixture::rows() const {
    QStringList rows;
    for (int i = 0; i < form->List3->count(); ++i)
        rows.append(form->List3->item(i)->text() + " | " + form->List4->item(i)->text());
    return rows;
}

} // namespace vorlan::test
