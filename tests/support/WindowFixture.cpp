#include "WindowFixture.h"

#include "WindowActions.h"
#include "app/MainWindowWiring.h"

#include <QTest>

namespace vorlan::test {

void WindowFixture::SetUp() {
    ASSERT_TRUE(folder.isValid());
    platform = std::make_unique<FakePlatform>(folder.path());
    form = std::make_unique<Form1>(*platform);
    form->Form_Load();
    connectMainWindow(*form);
    checker().settings.requestTimeout = std::chrono::seconds(2);
}

void WindowFixture::load(const QStringList& lines) {
    writeFile(QStringLiteral("VOR/url.txt"), (lines.join("\r\n") + "\r\n").toUtf8());
    fillList(form->List1, lines);
    for (ClickLabel* label : {form->Label1, form->Label4, form->Label5})
        label->setEnabled(true);
}

QStringList WindowFixture::load(const QList<CheckItem>& items) {
    QStringList rows;
    load(pathsOf(items, rows));
    return rows;
}

void WindowFixture::runCheck() {
    form->setWindowTitle(QStringLiteral("Vorlan"));
    QTest::mouseClick(form->Label5, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !checker().running(); }, 60000));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("DONE! - Vorlan"));
}

QStringList WindowFixture::rows() const {
    QStringList rows;
    for (int i = 0; i < form->List3->count(); ++i)
        rows.append(form->List3->item(i)->text() + " | " + form->List4->item(i)->text());
    return rows;
}

} // namespace vorlan::test
