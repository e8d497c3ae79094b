#include "window/Form1.h"

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "platform/ProgramFiles.h"
#include "platform/ResourcePicture.h"

#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

namespace vorlan {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidthTwips = 6960;
constexpr int kClientHeightTwips = 4980;

int px(int twips) {
    return qRound(double(twips) / kTwipsPerPixel);
}

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(px(left), px(top), px(width), px(height));
    return widget;
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Sets the text colour of the enabled states; a disabled control keeps the greyed text.
void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, colour);
        palette.setColor(group, QPalette::ButtonText, colour);
    }
    widget->setPalette(palette);
}

QFont uiFont(const QString& family, int points, bool bold = false) {
    QFont font(family, points);
    font.setBold(bold);
    return font;
}

const QColor kFormGrey(224, 224, 224);
const QColor kNavy(0, 0, 128);

} // namespace

Form1::Form1(Platform& platform, QWidget* parent) : QMainWindow(parent), platform_(platform) {
    QFont::insertSubstitution(QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"));
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vorlan"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(uiFont(QStringLiteral("Arial"), 9));
    setBackground(this, QColor(224, 224, 224));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    buildControls(client);
    buildMenus();
    setTabOrderOfControls();
    resize(clientSize() + QSize(0, menuBar()->sizeHint().height()));
}

QString Form1::workingFolder() const {
    return workingFolderOf(platform_.dataFolder());
}

QSize Form1::clientSize() {
    return {px(kClientWidthTwips), px(kClientHeightTwips)};
}

void Form1::buildControls(QWidget* client) {
    const QFont gothic = uiFont(QStringLiteral("MS UI Gothic"), 9);
    const QFont gothicBold = uiFont(QStringLiteral("MS UI Gothic"), 9, true);
    const QFont labelBold = uiFont(QStringLiteral("Arial"), 9, true);

    Picture1 = place(new QFrame(client), "Picture1", 120, 480, 2895, 3135);
    setBackground(Picture1, QColor(64, 64, 64));
    Picture1->setFont(gothic);
    Picture1->setFocusPolicy(Qt::TabFocus);
    Dir1 = place(new DirectoryChooser(Picture1), "Dir1", 240, 600, 2295, 2130);
    Drive1 = place(new DriveChooser(Picture1), "Drive1", 240, 240, 2295, 345);
    Drive1->setToolTip(QStringLiteral("Pick up the drive, which you want to find shortcut from"));
    Dir1->setPath(QDir::currentPath());
    Drive1->showDrive(DriveChooser::driveOf(QDir::currentPath()));
    Shape2 = place(new QFrame(Picture1), "Shape2", 0, 0, 2775, 3015);
    Shape2->setStyleSheet(QStringLiteral(
        "QFrame#Shape2 { background: rgb(192,192,192); border: 1px solid rgb(128,128,128); }"));

    Command8 = place(new QPushButton(QStringLiteral("> Open it by Notepad"), client), "Command8",
                     4920, 2520, 1935, 255);
    setBackground(Command8, kFormGrey);
    Frame2 = place(new QGroupBox(QStringLiteral("Checking option"), client), "Frame2", 4320, 3840,
                   2535, 855);
    Check3 = place(new QCheckBox(QStringLiteral("Download all URLs"), Frame2), "Check3", 240, 360,
                   2055, 255);
    setBackground(Check3, Qt::white);
    Command7 =
        place(new QPushButton(QStringLiteral(">"), client), "Command7", 6600, 4680, 255, 255);
    setBackground(Command7, kFormGrey);
    Text2 = place(new QPlainTextEdit(client), "Text2", 1320, 2520, 3495, 450);
    Text2->setReadOnly(true);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Frame1 = place(new QGroupBox(QStringLiteral("The order of Priority"), client), "Frame1", 3120,
                   480, 1815, 1095);
    Option2 =
        place(new QRadioButton(QStringLiteral("Date"), Frame1), "Option2", 240, 720, 975, 255);
    setBackground(Option2, Qt::white);
    Option1 =
        place(new QRadioButton(QStringLiteral("Name"), Frame1), "Option1", 240, 360, 1095, 255);
    setBackground(Option1, Qt::white);
    Command3 = place(new QPushButton(QStringLiteral(">"), client), "Command3", 4680, 120, 255, 375);
    setBackground(Command3, kFormGrey);
    Check1 = place(new QPushButton(QStringLiteral("Result of cheking link"), client), "Check1",
                   4920, 2760, 1935, 255);
    Check1->setCheckable(true);
    setBackground(Check1, kFormGrey);
    setTextColour(Check1, kNavy);
    Command6 = place(new QPushButton(QStringLiteral("Target URL"), client), "Command6", 120, 3000,
                     4815, 255);
    setBackground(Command6, kFormGrey);
    Command5 = place(new QPushButton(QStringLiteral("Result of status"), client), "Command5", 4920,
                     3000, 1935, 255);
    setBackground(Command5, kFormGrey);
    List4 = place(new ListBox(client), "List4", 4920, 3240, 1935, 1410);
    List3 = place(new ListBox(client), "List3", 120, 3240, 4815, 1410);
    Command4 =
        place(new QPushButton(QStringLiteral(">>"), client), "Command4", 2640, 240, 375, 255);
    List2 = place(new ListBox(client), "List2", 120, 3000, 6735, 1635);
    Command1 = place(new QPushButton(client), "Command1", 3360, 120, 1335, 375);
    Command1->setToolTip(QStringLiteral("Find URL shortcut"));
    setBackground(Command1, QColor(255, 192, 192));
    Command1->setFont(gothicBold);
    Command2 = place(new QPushButton(client), "Command2", 4920, 120, 1335, 375);
    Command2->setToolTip(QStringLiteral("Load found shortcut"));
    setBackground(Command2, QColor(0, 0, 64));
    Command2->setFont(gothicBold);
    for (QPushButton* pictureButton : {Command1, Command2})
        pictureButton->setIconSize(QSize(82, 21));
    Text1 = place(new QLineEdit(client), "Text1", 120, 240, 2535, 270);
    Text1->setMouseTracking(true);
    List1 = place(new ListBox(client), "List1", 120, 600, 6735, 1860);
    Label6 = place(new QLabel(QStringLiteral("Header information:"), client), "Label6", 120, 2520,
                   1215, 495);
    Label6->setWordWrap(true);
    setTextColour(Label6, kNavy);
    Label4 = place(new ClickLabel(QStringLiteral("Save list as HTML"), client), "Label4", 2160,
                   4680, 1575, 255);
    Label5 = place(new ClickLabel(QStringLiteral("Check Link status"), client), "Label5", 4920,
                   4680, 1695, 255);
    Label1 = place(new ClickLabel(QStringLiteral("Navigate URL"), client), "Label1", 3720, 4680,
                   1215, 255);
    for (ClickLabel* label : {Label4, Label5, Label1}) {
        label->setFont(labelBold);
        setTextColour(label, kNavy);
    }
    Label2 = place(new ClickLabel(QStringLiteral("EXIT"), client), "Label2", 6240, 0, 825, 360);
    Label2->setToolTip(QStringLiteral("Exit Vorlan"));
    Label2->setFont(uiFont(QStringLiteral("Arial"), 12, true));
    setTextColour(Label2, Qt::black);
    Label3 =
        place(new QLabel(QStringLiteral("Target directory:"), client), "Label3", 120, 0, 1455, 255);
    Label3->setFont(labelBold);
    setTextColour(Label3, kNavy);

    // Stacking: a control earlier in the layout lies above a later one.
    const QList<QWidget*> layoutOrder = {Picture1, Command8, Frame2,   Command7, Text2,  Frame1,
                                         Command3, Check1,   Command6, Command5, List4,  List3,
                                         Command4, List2,    Command1, Command2, Text1,  List1,
                                         Label6,   Label4,   Label5,   Label1,   Label2, Label3};
    for (auto it = layoutOrder.crbegin(); it != layoutOrder.crend(); ++it)
        (*it)->raise();
    Shape2->lower();
}

void Form1::buildMenus() {
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& shortcut) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action); // keeps the shortcut alive while the menu is closed
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QLatin1String(name));
        return separator;
    };
    File = menuBar()->addMenu(QStringLiteral("File (&F)"));
    File->setObjectName(QStringLiteral("File"));
    Find = addItem(File, "Find", QStringLiteral("Find shortcut (&I)"),
                   QKeySequence(QStringLiteral("Ctrl+I")));
    Load = addItem(File, "Load", QStringLiteral("Load shortcut (&L)"),
                   QKeySequence(QStringLiteral("Ctrl+L")));
    SaveScutAsHTML = addItem(File, "SaveScutAsHTML", QStringLiteral("Save list as HTML (&S)"),
                             QKeySequence(QStringLiteral("Ctrl+S")));
    SaveResults = addItem(File, "SaveResults", QStringLiteral("Save check results..."),
                          QKeySequence(QStringLiteral("Ctrl+E")));
    Tidy = addItem(File, "Tidy", QStringLiteral("Tidy shortcuts... (&T)"),
                   QKeySequence(QStringLiteral("Ctrl+T")));
    Tidy->setEnabled(false); // until a check has rows
    sp1 = addSeparator(File, "sp1");
    ExApp = addItem(File, "ExApp", QStringLiteral("Exit Vorlan (&X)"),
                    QKeySequence(QStringLiteral("Ctrl+X")));
    Edit = menuBar()->addMenu(QStringLiteral("Edit (&E)"));
    Edit->setObjectName(QStringLiteral("Edit"));
    Copy =
        addItem(Edit, "Copy", QStringLiteral("Copy(&C)"), QKeySequence(QStringLiteral("Ctrl+C")));
    Navi = addItem(Edit, "Navi", QStringLiteral("Navigate this page (&N)"),
                   QKeySequence(QStringLiteral("Ctrl+N")));
    help = menuBar()->addMenu(QStringLiteral("Help (&H)"));
    help->setObjectName(QStringLiteral("help"));
    ABOUTVorlan = addItem(help, "ABOUTVorlan", QStringLiteral("About Vorlan... (&A)"),
                          QKeySequence(QStringLiteral("Ctrl+A")));
    sp2 = addSeparator(help, "sp2");
    HANDLE = addItem(help, "HANDLE", QStringLiteral("How to handle Vorlan... (&W)"),
                     QKeySequence(QStringLiteral("Ctrl+W")));
}

void Form1::setTabOrderOfControls() {
    const QList<QWidget*> tabOrder = {Text1,    Command1, Command2, List1,   List2,   Command4,
                                      Picture1, Drive1,   Dir1,     List3,   List4,   Command5,
                                      Command6, Check1,   Command3, Option1, Option2, Text2,
                                      Command7, Check3,   Command8};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Text1->setFocus(Qt::OtherFocusReason);
}

void Form1::Form_Load() {
    ListFocus = {false, false, false, false};
    Label4->setEnabled(false);
    Label1->setEnabled(false);
    Label5->setEnabled(false);
    Picture1->hide();
    for (QWidget* resultsControl :
         {static_cast<QWidget*>(List3), static_cast<QWidget*>(List4),
          static_cast<QWidget*>(Command5), static_cast<QWidget*>(Command6)})
        resultsControl->hide();
    Option2->setChecked(true);
    Frame1->hide();
    Frame2->hide();
    Label2->setText(QStringLiteral("Exit"));
    setWindowIcon(resourceIcon(101));
    Command1->setIcon(resourceBitmap(101));
    Command2->setIcon(resourceBitmap(102));
    // Names for screen readers: the words on the button pictures, the labels' captions.
    Command1->setAccessibleName(QStringLiteral("Search and Create"));
    Command2->setAccessibleName(QStringLiteral("Load"));
    for (ClickLabel* label : {Label1, Label2, Label4, Label5})
        label->setAccessibleName(label->text());
    Text1->setAccessibleName(QStringLiteral("Target directory"));
    List1->setAccessibleName(QStringLiteral("Shortcut files found"));
    List2->setAccessibleName(QStringLiteral("Addresses read from the selected shortcut"));
    Text2->setAccessibleName(QStringLiteral("Response header of the checked address"));
    List3->setAccessibleName(QStringLiteral("Checked addresses"));
    List4->setAccessibleName(QStringLiteral("Link status of each checked address"));

    const QString folder = workingFolder();
    if (!entryExists(folder, EntryKind::FilesAndDirectories)) {
        if (const Result<void> made = makeDirectory(folder); !made.ok())
            platform_.message(made.failure().message);
    }
}

void Form1::Command3_Click() {
    Frame1->setVisible(Frame1->isHidden());
}

void Form1::Command7_Click() {
    Frame2->setVisible(Frame2->isHidden());
}

void Form1::closeEvent(QCloseEvent* event) {
    emit unloading();
    event->accept();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize() {
    // The layout's client area below the menu bar is what the rule keeps: the platform
    // adds its own frame and title bar around it.
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QSize target = clientSize() + QSize(0, menuBar()->sizeHint().height());
    if (size() != target)
        resize(target);
}

} // namespace vorlan
