#pragma once

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

} // namespace app
