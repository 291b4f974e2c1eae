#include "app/SplashScreen.h"

#include "app/Logo.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace app {

namespace {
const QString kTitle = QStringLiteral("Pelmir a telefony");
const QString kWait = QStringLiteral("Okamžik, prosím...");
} // namespace

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(3);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xE8));
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
    outer->addWidget(panel);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(16, 14, 16, 6);

    auto* top = new QHBoxLayout;
    auto* logo = new QLabel(panel);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setPixmap(logoPixmap(48));
    top->addWidget(logo);
    auto* title = new QLabel(kTitle, panel);
    title->setObjectName(QStringLiteral("LabelNazev"));
    QFont titleFont(QStringLiteral("Tahoma"), 12);
    titleFont.setItalic(true);
    titleFont.setUnderline(true);
    title->setFont(titleFont);
    top->addWidget(title, 1, Qt::AlignCenter);
    column->addLayout(top);

    auto* line = new QFrame(panel);
    line->setObjectName(QStringLiteral("Bevel1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);

    auto* wait = new QLabel(kWait, panel);
    wait->setObjectName(QStringLiteral("LabelOkamzik"));
    QFont waitFont = wait->font();
    waitFont.setBold(true);
    wait->setFont(waitFont);
    wait->setAlignment(Qt::AlignCenter);
    column->addWidget(wait);
    column->addSpacing(8);

    m_progress = new QProgressBar(panel);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(8);
    column->addWidget(m_progress);

    setFixedSize(360, 170);
}

void SplashScreen::showAndPaint()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    repaint();
    QApplication::processEvents();
}

void SplashScreen::setProgress(int value)
{
    m_progress->setValue(value);
    m_progress->repaint();
}

int SplashScreen::progress() const
{
    return m_progress->value();
}

SplashDialogs::SplashDialogs(SplashScreen& splash)
    : m_splash(splash), m_inner(platform::services().dialogs)
{
    platform::services().dialogs = this;
}

SplashDialogs::~SplashDialogs()
{
    platform::services().dialogs = m_inner;
}

template <typename F> auto SplashDialogs::besideSplash(F&& show)
{
    const bool wasVisible = m_splash.isVisible();
    m_splash.hide();
    struct Back {
        SplashScreen& splash;
        bool visible;
        ~Back()
        {
            if (visible)
                splash.showAndPaint();
        }
    } back{m_splash, wasVisible};
    return show();
}

platform::Button SplashDialogs::show(const platform::ShownBox& box)
{
    return besideSplash([&] { return m_inner->show(box); });
}

std::optional<QColor> SplashDialogs::chooseColor(const QColor& initial)
{
    return besideSplash([&] { return m_inner->chooseColor(initial); });
}

std::optional<QFont> SplashDialogs::chooseFont(const QFont& initial)
{
    return besideSplash([&] { return m_inner->chooseFont(initial); });
}

std::optional<QString> SplashDialogs::openFileName(const QString& caption, const QString& dir,
                                                   const QString& filter)
{
    return besideSplash([&] { return m_inner->openFileName(caption, dir, filter); });
}

std::optional<QString> SplashDialogs::saveFileName(const QString& caption, const QString& dir,
                                                   const QString& filter, platform::OverwriteQuestion question)
{
    return besideSplash([&] { return m_inner->saveFileName(caption, dir, filter, question); });
}

bool SplashDialogs::print(QPrinter& printer, QWidget* parent)
{
    return besideSplash([&] { return m_inner->print(printer, parent); });
}

bool SplashDialogs::printerSetup(QPrinter& printer, QWidget* parent)
{
    return besideSplash([&] { return m_inner->printerSetup(printer, parent); });
}

} // namespace app
