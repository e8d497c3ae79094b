#include "WindowFixture.h"

#include "MainWindowWiring.h"
#include "WindowActions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vorlan::test {

void WindowFixture::SetUp() {
    ASSERT_TRUE(folder.isValid());
    platform = std::make_unique<FakePlatform>(folder.path());
    form = std::make_unique<Form1>(*platform);
    form->Form_Load();
    connectMainWindow(*form);
}

void WindowFixture::TearDown() {
    form.reset();
}

QString WindowFixture::writeFile(const QString& relativePath, const QByteArray& bytes) const {
    return ShortcutSet(folder.path()).file(relativePath, bytes);
}

void WindowFixture::load(const QStringList& lines) {
    writeFile(QStringLiteral("VOR/url.txt"), (lines.join("\r\n") + "\r\n").toUtf8());
    fillList(form->List1, lines);
    for (ClickLabel* label : {form->Label1, form->Label4, form->Label5})
        label->setEnabled(true);
}

} // namespace vorlan::test
