#include "EditorFixture.h"

#include "store/Cursor.h"
#include "tools/DataDir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTextBlock>

namespace editor_test {

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "editor_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void EditorFixture::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_dir.isValid());
    const std::filesystem::path work = m_dir.path().toStdString();
    tools::makeDataDir(tools::sourceSeedsDir(), work);
    m_database = std::make_unique<store::Database>(work / "Data");
    {
        store::Cursor addresses(*m_database, "Dat.DB");
        addresses.open();
        addresses.insertRecord({"Novák", "Jan", "Dlouhá 5, Praha", "222 333 444", ""});
        addresses.insertRecord({"Dvořáková", "", "Krátká 1, Brno", "", ""});
        addresses.insertRecord({"Černý", "Petr", "Nová 7, Plzeň", "377 111 222", ""});
    }
    m_form = std::make_unique<editor::TEditorForm>(*m_database);
    m_form->FormCreate();
}

void EditorFixture::TearDown()
{
    m_form.reset();
    m_database.reset();
}

QAction* EditorFixture::action(const char* name)
{
    return control<QAction>(name);
}

void EditorFixture::click(const char* buttonName)
{
    auto* button = control<QAbstractButton>(buttonName);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList EditorFixture::paragraphs() const
{
    QStringList list;
    for (QTextBlock b = m_form->editorArea()->document()->begin(); b.isValid(); b = b.next())
        list << b.text();
    return list;
}

QString EditorFixture::statusPanel(const char* name)
{
    return control<QLabel>(name)->text();
}

QString EditorFixture::documentPath(const QString& name) const
{
    return QDir(m_fakes.paths.documentsDir()).filePath(name);
}

QString EditorFixture::writeFile(const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(m_fakes.paths.documentsDir());
    const QString path = documentPath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

void EditorFixture::typeInto(QWidget* widget, const QString& text)
{
    // Each character with its own text: Czech letters have no key of their own.
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace editor_test
