// The body-mass index window: Enter walks to the button, the computation
// fills the results, bad input stops with its message, a click clears.
#include "CalculatorsFixture.h"

#include "calculators/HlavniForm.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace calctest {
namespace {

const char* const kLimitFields[] = {"EditPodvaha",  "EditNormalni", "EditNadvaha", "EditZvysenaNadvaha",
                                    "EditObezita1", "EditObezita2", "EditObezita3"};

class HlavniFormTest : public CalculatorsFixture {
protected:
    void SetUp() override
    {
        CalculatorsFixture::SetUp();
        m_form = std::make_unique<calculators::THlavniForm>();
        m_text = std::make_unique<calculators::TTextForm>();
        m_form->setTextWindow(m_text.get());
        m_text->setCalculator(m_form.get());
        showActive(*m_form);
    }
    void TearDown() override
    {
        m_text.reset();
        m_form.reset();
        CalculatorsFixture::TearDown();
    }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(*m_form, name); }
    QLabel* label(const char* name) const { return child<QLabel>(*m_form, name); }
    QStringList limits() const
    {
        QStringList values;
        for (const char* name : kLimitFields)
            values << edit(name)->text();
        return values;
    }
    void compute(const QString& height, const QString& weight)
    {
        edit("EditVyska")->setText(height);
        edit("EditVaha")->setText(weight);
        QTest::mouseClick(child<QPushButton>(*m_form, "BitBtnVypocet"), Qt::LeftButton);
    }

    std::unique_ptr<calculators::THlavniForm> m_form;
    std::unique_ptr<calculators::TTextForm> m_text;
};

// Enter moves from height to weight to "&Výpočet"; Enter there computes.
TEST_F(HlavniFormTest, EnterWalksToTheButtonAndComputes)
{
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Index tělesné hmotnosti BMI "));
    EXPECT_FALSE(label("ImageTvar")->isVisible());
    typeText(edit("EditVyska"), QStringLiteral("180"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit("EditVaha"));
    typeText(edit("EditVaha"), QStringLiteral("80"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(*m_form, "BitBtnVypocet"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    EXPECT_EQ(label("LabelKategorie")->text(), QStringLiteral("NORMÁLNÍ VÁHA"));
    EXPECT_EQ(label("LabelRizika")->text(), QStringLiteral("MINIMÁLNÍ"));
    EXPECT_TRUE(label("ImageTvar")->isVisible());
    EXPECT_FALSE(label("ImageTvar")->pixmap().isNull());
    EXPECT_EQ(limits(), (QStringList{"60", "81", "87", "97", "113", "130", "130"}));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(m_form->heightText(), QStringLiteral("180"));
    EXPECT_EQ(m_form->categoryText(), QStringLiteral("NORMÁLNÍ VÁHA"));
}

// A bad input stops before anything changes, with its message in the error box.
TEST_F(HlavniFormTest, BadInputKeepsThePreviousResults)
{
    compute(QStringLiteral("170"), QStringLiteral("60"));
    const QStringList before = limits();
    EXPECT_EQ(before, (QStringList{"53", "72", "78", "87", "101", "116", "116"}));
    struct Case {
        QString height, weight, message;
    };
    const Case cases[] = {
        {"17o", "60", "'17o' is not a valid integer value"},
        {"170", "", "'' is not a valid integer value"},
        {"0", "60", "Floating point division by zero"},
        {"0", "0", "Invalid floating point operation"},
        {"-170", "60", "Výška musí být kladné celé číslo centimetrů."},
        {"50000", "60", "Výšku nad 7327 cm nelze spočítat. Zadejte výšku v centimetrech."},
    };
    for (const Case& c : cases) {
        m_fakes.dialogs.clear();
        compute(c.height, c.weight);
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1) << c.height.toStdString();
        EXPECT_EQ(m_fakes.dialogs.lastBox().text, c.message);
        EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Pelmir a telefony"));
        EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
        EXPECT_EQ(label("LabelKategorie")->text(), QStringLiteral("NORMÁLNÍ VÁHA"));
        EXPECT_EQ(limits(), before);
    }
}

// A picture that cannot be read: category and risk are set, the limits are not.
TEST_F(HlavniFormTest, MissingPictureStopsAfterTheTexts)
{
    compute(QStringLiteral("180"), QStringLiteral("80"));
    ASSERT_TRUE(QFile::remove(workPath(QStringLiteral("Obrazky/Tvar6.bmp"))));
    compute(QStringLiteral("100"), QStringLiteral("45"));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Cannot open file Obrazky/Tvar6.bmp"));
    EXPECT_EQ(label("LabelKategorie")->text(), QStringLiteral("OBEZITA 3.STUPNĚ"));
    EXPECT_EQ(label("LabelRizika")->text(), QStringLiteral("VELMI VYSOKÁ"));
    EXPECT_FALSE(label("ImageTvar")->isVisible());
    EXPECT_EQ(limits(), (QStringList{"60", "81", "87", "97", "113", "130", "130"}));
}

// A click into the height field empties everything; a Tab into it does not.
TEST_F(HlavniFormTest, ClickIntoHeightClearsAll)
{
    compute(QStringLiteral("180"), QStringLiteral("80"));
    edit("EditVaha")->setFocus();
    QTest::keyClick(edit("EditVaha"), Qt::Key_Backtab);
    EXPECT_EQ(edit("EditVyska")->text(), QStringLiteral("180"));
    QTest::mouseClick(edit("EditVyska"), Qt::LeftButton);
    EXPECT_TRUE(edit("EditVyska")->text().isEmpty());
    EXPECT_TRUE(edit("EditVaha")->text().isEmpty());
    EXPECT_TRUE(label("LabelKategorie")->text().isEmpty());
    EXPECT_TRUE(label("LabelRizika")->text().isEmpty());
    EXPECT_FALSE(label("ImageTvar")->isVisible());
    EXPECT_EQ(limits(), QStringList(7, QString()));
}

// The text window: two sections in Czech; "&Zpět" returns to the height field.
TEST_F(HlavniFormTest, TextWindowShowsAndReturnsToHeight)
{
    QTest::mouseClick(child<QPushButton>(*m_form, "BitBtnText"), Qt::LeftButton);
    ASSERT_TRUE(m_text->isVisible());
    EXPECT_EQ(m_text->windowTitle(), QStringLiteral("Doprovodný text"));
    const QString text = child<QTextEdit>(*m_text, "MemoText")->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("DEFINICE OBEZITY")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n\nKLASIFIKACE NADVÁHY A ZDRAVOTNÍ RIZIKA\n")));
    edit("EditVaha")->setFocus();
    QTest::mouseClick(child<QPushButton>(*m_text, "BitBtnZpet"), Qt::LeftButton);
    EXPECT_FALSE(m_text->isVisible());
    EXPECT_EQ(m_form->focusWidget(), edit("EditVyska"));
    QTest::mouseClick(child<QPushButton>(*m_form, "BitBtnZavrit"), Qt::LeftButton);
    EXPECT_FALSE(m_form->isVisible());
}

} // namespace
} // namespace calctest
