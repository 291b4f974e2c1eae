#pragma once

// What a load may still put into a document, and the progress it reports.
// The readers count each character and paragraph as they add it; the first
// limit passed, or the user's cancel, stops the load, so a hostile file
// costs no more than the limits allow, however it is built.

#include "richtext/Rtf.h"

namespace richtext::detail {

class LoadBudget {
public:
    // Without limits nothing is counted against them (stored notes, tests).
    LoadBudget(const DocumentLimits* limits, const LoadProgress* progress, qint64 total);

    // One character more in the paragraph being built; false once stopped.
    bool character()
    {
        if (!m_limits)
            return true;
        if (++m_characters > m_limits->characters)
            return stop(LoadResult::Status::TooLarge, tooManyCharacters());
        if (++m_paragraphLength > m_limits->paragraphLength)
            return stop(LoadResult::Status::TooLarge, paragraphTooLong());
        return true;
    }
    // The paragraph being built ends: the next characters are another's.
    void paragraphEnded()
    {
        m_paragraphLength = 0;
        ++m_paragraphsEnded;
    }
    // Another paragraph begins in the document.
    bool paragraphBegun()
    {
        if (m_limits && ++m_paragraphs > m_limits->paragraphs)
            return stop(LoadResult::Status::TooLarge, tooManyParagraphs());
        return true;
    }
    // How far the reading is; false once stopped (the user may cancel here).
    bool progress(qint64 done);

    bool stopped() const { return m_stopped; }
    LoadResult::Status status() const { return m_status; }
    const QString& reason() const { return m_reason; }

private:
    bool stop(LoadResult::Status status, const QString& reason);
    QString tooManyCharacters() const;
    QString paragraphTooLong() const;
    QString tooManyParagraphs() const;

    const DocumentLimits* m_limits;
    const LoadProgress* m_progress;
    qint64 m_total;
    qint64 m_characters = 0;
    int m_paragraphLength = 0;
    int m_paragraphs = 1; // begun in the document, the first one with it
    int m_paragraphsEnded = 0;
    bool m_stopped = false;
    LoadResult::Status m_status = LoadResult::Status::Rtf;
    QString m_reason;
};

// The RTF reader under a budget: stops where the budget does.
void readRtf(QByteArrayView data, QTextDocument& document, LoadBudget& budget);

} // namespace richtext::detail
