#pragma once

// A real editor window over a fresh working directory with a few addresses,
// every outside effect faked.

#include "editor/EditorForm.h"

#include "platform/Fakes.h"
#include "store/Database.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

class QAction;
class QLabel;

namespace editor_test {

void ensureApplication();

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <typename T> T* control(const char* name)
    {
        T* found = m_form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* action(const char* name);
    void click(const char* buttonName);
    QString text() const { return m_form->editorArea()->toPlainText(); }
    QStringList paragraphs() const;
    QString statusPanel(const char* name);
    // A file in the test's documents folder, written with these bytes.
    QString writeFile(const QString& name, const QByteArray& bytes);
    QString documentPath(const QString& name) const;
    void typeInto(QWidget* widget, const QString& text);

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
    std::unique_ptr<editor::TEditorForm> m_form;
};

} // namespace editor_test

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral("|")).toStdString() << ']';
}
