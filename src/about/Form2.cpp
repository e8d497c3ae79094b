#include "about/Form2.h"

#include "platform/Platform.h"
#include "platform/ResourcePicture.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <cmath>

namespace vorlan {

namespace {

constexpr float kTwipsPerPixel = 15;

const QString kAuthorInitials = QStringLiteral("V.D.");
const QString kHomePage = QStringLiteral("https://vorlan.example.org/");
const QString kEmailAddress = QStringLiteral("team@vorlan.example.org");

const QColor kWindowGrey(224, 224, 224);
const QColor kPink(255, 192, 192);
const QColor kNavy(0, 0, 128);

// How long a maximize request may take before the window maximizes itself: without a
// window manager nothing answers the request.
constexpr int kMaximizeWaitMillis = 300;

constexpr TwipRect kClientArea = {0, 0, 4530, 2895};
constexpr TwipRect kPictureDesigned = {360, 480, 615, 495};

// Pixels covered by a rectangle in twips, each edge rounded to the nearest pixel.
QRect pixelRect(const TwipRect& twips) {
    const int left = std::lround(twips.left / kTwipsPerPixel);
    const int top = std::lround(twips.top / kTwipsPerPixel);
    const int right = std::lround((twips.left + twips.width) / kTwipsPerPixel);
    const int bottom = std::lround((twips.top + twips.height) / kTwipsPerPixel);
    return {left, top, right - left, bottom - top};
}

template <typename W> W* place(W* control, const char* name, const TwipRect& twips) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(pixelRect(twips));
    return control;
}

void fillWith(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void writeIn(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The labels' texts stand centred over the large shape.
template <typename L> L* centredLabel(L* label) {
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QFrame* shape(QWidget* parent, const char* name, const TwipRect& twips, const QColor& colour) {
    QFrame* frame = place(new QFrame(parent), name, twips);
    fillWith(frame, colour);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    return frame;
}

} // namespace

Form2::Form2(Platform& platform) : platform_(platform) {
    setObjectName(QStringLiteral("Form2"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    fillWith(this, kWindowGrey);
    setFocusPolicy(Qt::StrongFocus);
    resize(pixelRect(kClientArea).size());

    Shape1 = shape(this, "Shape1", {240, 240, 4095, 2415}, QColor(255, 128, 128));
    Label1 = place(centredLabel(new QLabel(this)), "Label1", {600, 480, 3375, 975});
    fillWith(Label1, kPink);
    Label3 = place(centredLabel(new ClickLabel(QString(), this)), "Label3", {360, 1440, 3855, 255});
    writeIn(Label3, kNavy);
    Label2 = place(centredLabel(new ClickLabel(QString(), this)), "Label2", {600, 1800, 3375, 255});
    fillWith(Label2, kPink);
    writeIn(Label2, kNavy);
    Label4 = place(centredLabel(new QLabel(this)), "Label4", {480, 2280, 3615, 255});
    fillWith(Label4, kWindowGrey);
    Picture1 = place(new AboutPicture(this), "Picture1", kPictureDesigned);
    fillWith(Picture1, kWindowGrey);
    const AboutAnimation::Shapes& designed = AboutAnimation::kDesignedShapes;
    Shape6 = shape(Picture1, "Shape6", designed[AboutAnimation::Shape6], kPink);
    Shape4 = shape(Picture1, "Shape4", designed[AboutAnimation::Shape4], kPink);
    Shape5 = shape(Picture1, "Shape5", designed[AboutAnimation::Shape5], kPink);
    Shape3 = shape(Picture1, "Shape3", designed[AboutAnimation::Shape3], kPink);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    animationStepper_.setSingleShot(true);
    animationStepper_.setInterval(0);
    connect(&animationStepper_, &QTimer::timeout, this, &Form2::runAnimationStep);
    maximizeFallback_.setSingleShot(true);
    maximizeFallback_.setInterval(kMaximizeWaitMillis);
    connect(&maximizeFallback_, &QTimer::timeout, this, &Form2::maximizeWithoutWindowManager);

    connect(Label2, &ClickLabel::mouseMoved, this, &Form2::Label2_MouseMove);
    connect(Label3, &ClickLabel::mouseMoved, this, &Form2::Label3_MouseMove);
    connect(Label2, &ClickLabel::clicked, this, &Form2::Label2_Click);
    connect(Label3, &ClickLabel::clicked, this, &Form2::Label3_Click);
    connect(Picture1, &ClickLabel::clicked, this, &Form2::Picture1_Click);
}

void Form2::Form_Load() {
    setWindowTitle(QStringLiteral("About Vorlan..."));
    setWindowIcon(resourceIcon(101));
    Label1->setText(QStringLiteral("Software name: Vorlan\r\nVersion: 1.0\r\nCreated date: "
                                   "11/21/1999\r\nThe aurthor: ") +
                    kAuthorInitials);
    Label3->setText(QStringLiteral("URL:") + kHomePage);
    Label2->setText(QStringLiteral("Email: ") + kEmailAddress);
    Label4->setText(QStringLiteral("Thank you for choosing Vorlan."));
}

void Form2::Form_KeyDown(int keyCode) {
    if (keyCode == Qt::Key_Escape)
        hide();
}

void Form2::Form_Unload() {
    hide();
}

void Form2::Form_Resize() {
    fillWith(this, kWindowGrey);
    Timer1->stop();
}

void Form2::Label2_MouseMove() {
    Label2->setCursor(resourceCursor(103));
}

void Form2::Label3_MouseMove() {
    Label3->setCursor(resourceCursor(103));
}

void Form2::Label2_Click() {
    platform_.shellOpen(QStringLiteral("mailto:") + kEmailAddress);
}

void Form2::Label3_Click() {
    Label3->setCursor(resourceCursor(103));
    platform_.shellOpen(kHomePage);
}

void Form2::Picture1_Click() {
    if (windowMaximized()) {
        leaveMaximized();
        pictureFillsWindow_ = false;
        Picture1->clearPainting();
        Picture1->setGeometry(pixelRect(kPictureDesigned));
        animation_.restoreDesignedShapes();
        showShapes();
        Timer1->stop();
        return;
    }
    normalGeometry_ = geometry();
    setWindowState(windowState() | Qt::WindowMaximized);
    pictureFillsWindow_ = true;
    // The window system maximizes asynchronously: the run starts once the window has its
    // maximized size, so that its first step already measures the full width.
    awaitingMaximizedSize_ = true;
    maximizeFallback_.start();
}

void Form2::leaveMaximized() {
    awaitingMaximizedSize_ = false;
    maximizeFallback_.stop();
    setWindowState(windowState() & ~Qt::WindowMaximized);
    if (maximizedByItself_) {
        maximizedByItself_ = false;
        setGeometry(normalGeometry_);
    }
}

void Form2::maximizeWithoutWindowManager() {
    if (!awaitingMaximizedSize_ || !windowMaximized())
        return;
    maximizedByItself_ = true;
    const QRect area = screen()->availableGeometry();
    if (geometry() == area)
        startAnimationRun();
    else
        setGeometry(area); // the resize starts the run
}

void Form2::startAnimationRun() {
    awaitingMaximizedSize_ = false;
    maximizeFallback_.stop();
    Picture1->setGeometry(rect());
    Timer1->start();
    TT();
}

void Form2::Timer1_Timer() {
    Timer1->setInterval(1000);
}

void Form2::TT() {
    animation_.start();
    runAnimationStep();
}

bool Form2::windowMaximized() const {
    // Without a window manager the window system keeps reporting the normal state.
    return maximizedByItself_ || (windowState() & Qt::WindowMaximized);
}

float Form2::scaleWidth() const {
    return float(width()) * kTwipsPerPixel;
}

float Form2::scaleHeight() const {
    return float(height()) * kTwipsPerPixel;
}

void Form2::runAnimationStep() {
    const auto result = animation_.step(windowMaximized(), scaleWidth());
    showShapes();
    switch (result) {
    case AboutAnimation::StepResult::Continue:
        animationStepper_.start();
        break;
    case AboutAnimation::StepResult::Finished:
        Timer1->stop();
        paintFinalPicture();
        break;
    case AboutAnimation::StepResult::Abandoned:
        break;
    }
}

void Form2::showShapes() {
    const AboutAnimation::Shapes& shapes = animation_.shapes();
    Shape6->setGeometry(pixelRect(shapes[AboutAnimation::Shape6]));
    Shape4->setGeometry(pixelRect(shapes[AboutAnimation::Shape4]));
    Shape5->setGeometry(pixelRect(shapes[AboutAnimation::Shape5]));
    Shape3->setGeometry(pixelRect(shapes[AboutAnimation::Shape3]));
}

// Bitmap 103 stretched over the window's inner area, placed at the offset that would
// centre the window's outer frame on the screen.
void Form2::paintFinalPicture() {
    const QSize screenSize = screen()->geometry().size();
    const QSize outerSize = frameGeometry().size();
    const TwipRect target = {float(screenSize.width() - outerSize.width()) * kTwipsPerPixel / 2.0f,
                             float(screenSize.height() - outerSize.height()) * kTwipsPerPixel /
                                 2.0f,
                             scaleWidth(), scaleHeight()};
    Picture1->paintPicture(resourceBitmap(103), pixelRect(target));
}

void Form2::keyPressEvent(QKeyEvent* event) {
    Form_KeyDown(event->key());
}

void Form2::closeEvent(QCloseEvent* event) {
    // Unloading ends a running animation with the window.
    animationStepper_.stop();
    maximizeFallback_.stop();
    Form_Unload();
    event->accept();
}

void Form2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (pictureFillsWindow_)
        Picture1->setGeometry(rect());
    Form_Resize();
    if (awaitingMaximizedSize_ && windowMaximized())
        startAnimationRun();
}

} // namespace vorlan
