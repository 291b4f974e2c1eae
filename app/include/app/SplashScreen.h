#pragma once

#include "platform/Platform.h"

#include <QWidget>

class QProgressBar;

namespace app {

// The borderless window shown while the windows are created.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

    // Shows the window centred and paints it before anything else happens.
    void showAndPaint();
    void setProgress(int value);
    int progress() const;

private:
    QProgressBar* m_progress = nullptr;
};

// While the splash window is up, every box and dialog of a start-up step goes
// through this: the splash stays on top of all windows, so a box shown under
// it made the program look hung at its progress. The splash steps aside for
// the box and comes back after it. Installed in place of the dialogs in use
// for as long as it lives.
class SplashDialogs : public platform::Dialogs {
public:
    explicit SplashDialogs(SplashScreen& splash);
    ~SplashDialogs() override;
    SplashDialogs(const SplashDialogs&) = delete;
    SplashDialogs& operator=(const SplashDialogs&) = delete;

    platform::Button show(const platform::ShownBox& box) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QString> openFileName(const QString& caption, const QString& dir,
                                        const QString& filter) override;
    std::optional<QString> saveFileName(const QString& caption, const QString& dir, const QString& filter,
                                        platform::OverwriteQuestion question = platform::OverwriteQuestion::Dialog) override;
    bool print(QPrinter& printer, QWidget* parent) override;
    bool printerSetup(QPrinter& printer, QWidget* parent) override;

private:
    template <typename F> auto besideSplash(F&& show);

    SplashScreen& m_splash;
    platform::Dialogs* m_inner;
};

} // namespace app
