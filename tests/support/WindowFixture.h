#pragma once

#include "FakePlatform.h"
#include "Form1.h"
#include "ShortcutSet.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace vorlan::test {

// A main window over a temporary program folder, started and wired as the program does,
// with the fake platform recording dialogs, shell-opens and the clipboard.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file below the program folder (creating folders) and returns its path.
    QString writeFile(const QString& relativePath, const QByteArray& bytes) const;
    // Writes the result file from the lines, CR LF after each, and fills List1 from it, as a
    // load does.
    void load(const QStringList& lines);
    QString programFolder() const { return folder.path(); }
    QString workingFolder() const { return folder.path() + QStringLiteral("/VOR"); }

    QTemporaryDir folder;
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<Form1> form;
};

} // namespace vorlan::test
