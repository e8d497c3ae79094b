#pragma once

#include "LinkCheck.h"
#include "WindowFixture.h"

#include <QStringList>

namespace vorlan::test {

// A main window ready for link check runs: shortcut files below the program folder, a
// result file naming them, List1 filled as a load fills it, and the run's time-out short.
class CheckRunFixture : public WindowFixture {
  protected:
    void SetUp() override;

    LinkChecker& checker() { return LinkChecker::of(*form); }
    // Writes web/<name> holding the address and returns its path.
    QString shortcut(const QString& name, const QString& address) const;
    // The shortcut web/<name> holding the address, expected to be checked with the status.
    CheckItem item(const QString& name, const QString& address, const QString& status) const;
    // Loads the items' paths as a load does; gives their expected rows.
    QStringList load(const QList<CheckItem>& items);
    using WindowFixture::load;
    // Clicks "Check Link status" and waits for the caption that announces the end.
    void runCheck();
    // "address | status" for every result row.
    QStringList rows() const;
};

} // namespace vorlan::test
