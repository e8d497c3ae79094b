#pragma once

// The main window and where its parts are served. Every control is a widget whose objectName
// is its name below; its handlers (named Control_Event) live in the feature folders and are
// connected in each folder's *Wiring.cpp.
//
// Controls (name: caption or role -> file of its handler)
//   Text1     target directory field                 -> search/TargetDirectory.cpp (read by
//                                                       search/SearchJob.cpp)
//   Command4  ">>": shows the drive and folder panel  -> search/TargetDirectory.cpp
//   Picture1  that panel, with Shape2 drawn behind it -> window/Form1.cpp (built here)
//   Drive1    drive chooser                          -> search/TargetDirectory.cpp (Drive1_Change)
//   Dir1      folder chooser                         -> search/TargetDirectory.cpp (Dir1_Change)
//   Command1  picture "Search and Create"            -> search/SearchJob.cpp
//   Command3  ">": shows Frame1                       -> window/Form1.cpp
//   Frame1    "The order of Priority": Option1 "Name", Option2 "Date" (read by
//             search/SearchJob.cpp)
//   Command2  picture "Load"                         -> search/LoadShortcuts.cpp
//   Label2    "Exit"                                 -> window/MenuCommands.cpp
//   List1     shortcut files found                   -> search/DetailView.cpp (click),
//                                                       lists/CopyAndNavigate.cpp (double click),
//                                                       lists/ListFocusAndTips.cpp (focus, tips)
//   Label6    caption "Header information:" of Text2
//   Text2     response header of the row shown       -> written by linkcheck/LinkCheck.cpp and
//                                                       linkcheck/ResultsPanel.cpp
//   Command8  "> Open it by Notepad"                 -> linkcheck/HeaderExport.cpp
//   List2     addresses read from the selected file  -> lists/ListFocusAndTips.cpp
//   Check1    "Result of cheking link": shows List3, List4 and their captions Command6 "Target
//             URL", Command5 "Result of status"      -> linkcheck/ResultsPanel.cpp
//   List3     checked addresses, List4 their status  -> linkcheck/ResultsPanel.cpp
//   Label4    "Save list as HTML"                    -> export/LinkListExport.cpp
//   Label1    "Navigate URL"                         -> lists/CopyAndNavigate.cpp
//   Label5    "Check Link status"                    -> linkcheck/LinkCheck.cpp
//   Command7  ">": shows Frame2 "Checking option"    -> window/Form1.cpp
//   Check3    "Download all URLs"                    -> linkcheck/PageDownload.cpp
//   Label3    caption "Target directory:" of Text1
// Menus: Find, Load, SaveScutAsHTML run Command1, Command2, Label4; SaveResults ->
// linkcheck/CheckResultsExport.cpp; Tidy (enabled once a check has rows) -> tidy/TidyWindow.cpp;
// ExApp and Label2 close; Copy, Navi ->
// lists/CopyAndNavigate.cpp; ABOUTVorlan -> about/AboutWiring.cpp; HANDLE ->
// window/MenuCommands.cpp.
// Hover hints and cursors: window/HoverHints.cpp; F5, Escape: linkcheck/LinkCheckWiring.cpp.
//
// Shared state (written by -> read by)
//   currentAddress    the reader (shortcuts/ShortcutReader.cpp) called by search/DetailView.cpp,
//                     linkcheck/LinkCheck.cpp, export/LinkListExport.cpp -> search/DetailView.cpp
//                     (List2's entries), the check run (readAddressIntoWindow)
//   ListFocus         lists/ListFocusAndTips.cpp, linkcheck/ResultsPanel.cpp
//                     -> lists/CopyAndNavigate.cpp, window/MenuCommands.cpp
//   scriptWriting     search/SearchJob.cpp -> search/LoadShortcuts.cpp
//   StoredHEADERS     linkcheck/LinkCheck.cpp -> linkcheck/ResultsPanel.cpp
//   downloadFolder    linkcheck/PageDownload.cpp -> linkcheck/PageDownload.cpp
//   linkCheckRunning  linkcheck/LinkCheck.cpp -> search/SearchJob.cpp (refusedDuringLinkCheck,
//                     used by the search and the load)
//   The pages held while Check3's folder question is open: LinkChecker::heldPages.
//
// A click on "Check Link status", to a row:
//   Label5 clicked -> Label5_Click (linkcheck/LinkCheck.cpp) reads url.txt once
//   (shortcuts/ResultFile.cpp) -> LinkChecker::startRun makes a CheckRun
//   (linkcheck/engine/CheckRun.cpp) over the paths, with the window's reader
//   (readAddressIntoWindow) and the HTTP client -> the run reads each address, the
//   FetchScheduler starts requests within its limits, the client answers each with its
//   header and body (PageBody) -> rows are committed in file order to the run's sink, the
//   LinkChecker: rowCommitted stores the header (tmGETHEADER, StoredHEADERS), shows it in Text2
//   and hands the page to SaveAllHTMLs (linkcheck/PageDownload.cpp) while Check3 is checked;
//   rowEnded appends the address to List3 and its status text (linkcheck/engine/StatusText.cpp)
//   to List4; progressed sets the caption "Checking: [D of N]"; runEnded sets "DONE!" or
//   "STOPPED!".

#include "window/ClickLabel.h"
#include "window/DirectoryChooser.h"
#include "window/DriveChooser.h"
#include "window/ListBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

namespace vorlan {

class Platform;

// The main window: its named controls, placed as laid out, and the window's own state.
// The feature folders implement the handlers over this model; the window itself holds
// only start-up, the panel toggles, closing and the size rule.
class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit Form1(Platform& platform, QWidget* parent = nullptr);

    Platform& platform() const { return platform_; }
    // The program folder followed by the working folder's name.
    QString workingFolder() const;
    // The client area below the menu bar that the size rule keeps, in pixels.
    static QSize clientSize();

    void Form_Load();
    void Command3_Click();
    void Command7_Click();

    // Controls, in layout order (earlier ones lie above later ones).
    QFrame* Picture1;
    DirectoryChooser* Dir1;
    DriveChooser* Drive1;
    QFrame* Shape2;
    QPushButton* Command8;
    QGroupBox* Frame2;
    QCheckBox* Check3;
    QPushButton* Command7;
    QPlainTextEdit* Text2;
    QGroupBox* Frame1;
    QRadioButton* Option2;
    QRadioButton* Option1;
    QPushButton* Command3;
    QPushButton* Check1; // a check box drawn as a toggle button
    QPushButton* Command6;
    QPushButton* Command5;
    ListBox* List4;
    ListBox* List3;
    QPushButton* Command4;
    ListBox* List2;
    QPushButton* Command1;
    QPushButton* Command2;
    QLineEdit* Text1;
    ListBox* List1;
    QLabel* Label6;
    ClickLabel* Label4;
    ClickLabel* Label5;
    ClickLabel* Label1;
    ClickLabel* Label2;
    QLabel* Label3;

    // Menu bar.
    QMenu* File;
    QAction* Find;
    QAction* Load;
    QAction* SaveScutAsHTML;
    QAction* SaveResults;
    QAction* Tidy;
    QAction* sp1;
    QAction* ExApp;
    QMenu* Edit;
    QAction* Copy;
    QAction* Navi;
    QMenu* help;
    QAction* ABOUTVorlan;
    QAction* sp2;
    QAction* HANDLE;

    // Window state. ListFocus is indexed 1 to 3 for List1, List2, List3.
    std::array<bool, 4> ListFocus{};
    QString currentAddress;
    bool scriptWriting = false;
    QStringList StoredHEADERS; // one header text per result row of the last check run
    QString downloadFolder;
    // True while a link check run is in progress: commands that would change what it reads
    // are refused meanwhile.
    bool linkCheckRunning = false;

  signals:
    // Raised when the window is being closed, whatever the cause, before it closes.
    void unloading();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildControls(QWidget* client);
    void buildMenus();
    void setTabOrderOfControls();
    void Form_Resize();

    Platform& platform_;
};

} // namespace vorlan
