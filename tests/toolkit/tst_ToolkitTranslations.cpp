// The toolkit's own texts follow the student's language where the system has the toolkit's
// translations; the program's own texts stay as written.
#include "toolkit/MessageBox.h"
#include "toolkit/ToolkitTranslations.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

class tst_ToolkitTranslations : public QObject
{
    Q_OBJECT

  private slots:
    // German before a language without a translation, which must undo it.
    void initTestCase()
    {
        QVERIFY(toolkit::translateToolkitTexts(QLocale(QStringLiteral("de_DE"))));
    }

    void boxButtons_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("translated");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("no");
        QTest::newRow("German") << "de_DE" << true << "&Ja"
                                << "&Nein";
        QTest::newRow("a language the system has no translation for") << "sw_KE" << false << "&Yes"
                                                                      << "&No";
        QTest::newRow("French") << "fr_FR" << true << "&Oui"
                                << "&Non";
        QTest::newRow("English") << "en_GB" << true << "&Yes"
                                 << "&No";
    }

    void boxButtons()
    {
        QFETCH(QString, locale);
        QFETCH(bool, translated);
        QFETCH(QString, yes);
        QFETCH(QString, no);
        QCOMPARE(toolkit::translateToolkitTexts(QLocale(locale)), translated);
        const QString prompt =
            QStringLiteral("Would you like to install Adobe Acrobat Reader 5.0 now?");
        const std::unique_ptr<QMessageBox> box = toolkit::makeMessageBox(
            {prompt, toolkit::vbYesNo | toolkit::vbExclamation, QStringLiteral("Title")});
        QCOMPARE(box->button(QMessageBox::Yes)->text(), yes);
        QCOMPARE(box->button(QMessageBox::No)->text(), no);
        QCOMPARE(box->text(), prompt);
        QCOMPARE(box->windowTitle(), QStringLiteral("Title"));
    }
};

QTEST_MAIN(tst_ToolkitTranslations)
#include "tst_ToolkitTranslations.moc"
