#pragma once

#include "FakePlatform.h"
#include "ShortcutSet.h"
#include "linkcheck/LinkCheck.h"
#include "window/Form1.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace vorlan::test {

// A main window over a temporary program folder, wired as the program does it.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override { form.reset(); }

    QString writeFile(const QString& relativePath, const QByteArray& bytes) const {
        return files.file(relativePath, bytes);
    }
    QString shortcut(const QString& name, const QString& address) const {
        return files.shortcut(name, address);
    }
    // Writes the result file from the lines and fills List1 from it, as a load does.
    void load(const QStringList& lines);
    // Loads the items' paths; gives their expected rows.
    QStringList load(const QList<CheckItem>& items);
    QString programFolder() const { return folder.path(); }
    QString workingFolder() const { return folder.path() + QStringLiteral("/VOR"); }

    LinkChecker& checker() { return LinkChecker::of(*form); }
    // Clicks "Check Link status" and waits for the caption that announces the end.
    void runCheck();
    // "address | status" for every result row.
    QStringList rows() const;

    QTemporaryDir folder;
    ShortcutSet files{folder.path()};
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<Form1> form;
};

} // namespace vorlan::test
