#pragma once

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
