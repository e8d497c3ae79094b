#pragma once

#include "linkcheck/engine/PageBody.h"
#include "linkcheck/engine/PageWriter.h"

#include <QString>
#include <memory>
#include <vector>

namespace vorlan {

class Form1;

// The page of a row committed while Check3's folder question is open: it waits for the
// answer in the link checker (LinkChecker::heldPages).
struct HeldPage {
    QString shortcutPath;
    PageBody page;
};

// Asks for the download folder when Check3 has just been checked; a cancelled question
// unchecks it again. The default folder is created when it is chosen and missing. The
// pages kept while the question was open are saved into the answer, or dropped on Cancel.
void Check3_Click(Form1& form);

// Whether a committed row's page is to be saved: Check3 is checked.
bool savingPages(const Form1& form);

// Starts saving one item's page into the download folder under its shortcut's name; the
// page is handed over and may be left empty. Returns the writer to finish, or null when
// the name gives nothing to save under or Check3's folder question is open: the page is
// then kept until it is answered.
std::unique_ptr<PageWriter> SaveAllHTMLs(Form1& form, PageBody& EachPage,
                                         const QString& EachPageNAME);

} // namespace vorlan
