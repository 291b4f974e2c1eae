// The search fields of the name days and the planner open with a hint ("hledané
// jméno(část) ", "text") or the last search: whether the field is reached by
// its button, by the mouse or by Tab, what the user types replaces it.

#include "OrganiserFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <functional>

namespace organiser_test {
namespace {

struct SearchField {
    const char* name;
    std::function<QWidget&(OrganiserFixture&)> window;
    const char* openButton;
    const char* field;
};

class SearchFieldTest : public OrganiserFixture, public ::testing::WithParamInterface<SearchField> {
public:
    QWidget& svatekWindow() { return svatek(); }
    QWidget& planovacWindow() { return planovac(); }
};

// Keys to the focused control, as the keyboard sends them.
void typeKeys(const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
}

TEST_P(SearchFieldTest, TypingReplacesTheHint)
{
    createWindows();
    QWidget& window = GetParam().window(*this);
    showActive(window);
    click(window, GetParam().openButton);
    auto* field = control<QLineEdit>(window, GetParam().field);
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_FALSE(field->text().isEmpty());
    typeKeys(QStringLiteral("jan"));
    EXPECT_EQ(field->text(), QStringLiteral("jan"));

    // Back by a mouse click, after the focus went elsewhere.
    window.setFocus();
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
    QCoreApplication::processEvents();
    typeKeys(QStringLiteral("eva"));
    EXPECT_EQ(field->text(), QStringLiteral("eva"));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SearchFieldTest,
    ::testing::Values(SearchField{"TSvatekForm", [](OrganiserFixture& f) -> QWidget& {
                                      return static_cast<SearchFieldTest&>(f).svatekWindow();
                                  },
                                  "SpeedButtonHled", "EditDotaz"},
                      SearchField{"TPlanovacForm", [](OrganiserFixture& f) -> QWidget& {
                                      return static_cast<SearchFieldTest&>(f).planovacWindow();
                                  },
                                  "SpeedButtonHledani", "EditHledani"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace organiser_test
