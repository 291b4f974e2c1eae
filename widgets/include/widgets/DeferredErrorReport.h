#pragma once

#include <QObject>
#include <QString>

#include <exception>

namespace widgets {

// Reports an error met where no box may open: inside a paint, a model call
// or another callback of the toolkit. The error box comes from the event
// loop afterwards, once: the same text is not reported again until
// recovered() says the failure is over (a table that is read again).
class DeferredErrorReport : public QObject {
    Q_OBJECT
public:
    explicit DeferredErrorReport(QObject* parent = nullptr);

    void failed(const std::exception& error);
    void recovered();
    // Whether a failure is being reported or was reported and is not over.
    bool failing() const { return !m_text.isEmpty(); }

private:
    void show();

    QString m_text;
    QString m_detail;
    bool m_queued = false;
};

} // namespace widgets
