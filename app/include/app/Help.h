#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QString>

#include <memory>

class QTextBrowser;
class QWidget;

namespace app {

// Help topics hang on widgets like the old help contexts: a widget without
// its own topic takes its parent's.
void setHelpTopic(QWidget* widget, int topic);
// The topic of the focused control or, failing that, of its window; 0 when none.
int helpTopicFor(const QWidget* widget);

// The short Czech text of a topic, as rich text; a generic line for unknown numbers.
QString helpTopicText(int topic);

// The real help seam: one small window that shows a topic's text.
class HelpViewer : public platform::Help {
public:
    HelpViewer();
    ~HelpViewer() override;
    void showTopic(int topic) override;
    int shownTopic() const { return m_topic; }
    QWidget* window() const;

private:
    std::unique_ptr<QWidget> m_window;
    QTextBrowser* m_browser = nullptr;
    int m_topic = 0;
};

// F1 anywhere in the program opens the focused control's topic.
class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace app
