#include "EditorTestSupport.h"
#include "frmCharacter.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

// "Charactor or Hex": which way raw data goes, kept between uses, and what Cancel leaves alone.
class TestCharacterPicker : public QObject
{
    Q_OBJECT

    // Opens the picker as the download does (modal) and ends it the given way.
    static void answer(frmCharacter& picker, const QString& how)
    {
        QTimer::singleShot(0, &picker, [&picker, how] { end(picker, how); });
        picker.exec();
    }

private Q_SLOTS:
    void init() { failOnQtWarnings(); }
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void choices_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("asCharacters");
        QTest::newRow("character") << QStringList{"cmbCharacter"} << false << true;
        QTest::newRow("hex after character")
            << QStringList{"cmbCharacter", "cmbHex"} << false << false;
        QTest::newRow("cancel keeps character")
            << QStringList{"cmbCharacter", "cmbCancel"} << true << true;
        QTest::newRow("cancel keeps hex") << QStringList{"cmbHex", "cmbCancel"} << true << false;
        QTest::newRow("title bar keeps character")
            << QStringList{"cmbCharacter", "close"} << true << true;
        QTest::newRow("escape keeps character")
            << QStringList{"cmbCharacter", "escape"} << true << true;
        QTest::newRow("choice after cancel")
            << QStringList{"cmbCancel", "cmbCharacter"} << false << true;
        QTest::newRow("nothing chosen yet sends as written")
            << QStringList{"cmbCancel"} << true << false;
    }
    void choices()
    {
        QFETCH(QStringList, answers);
        QFETCH(bool, cancel);
        QFETCH(bool, asCharacters);
        frmCharacter picker;
        QCOMPARE(picker.windowTitle(), QStringLiteral("Charactor or Hex"));
        QCOMPARE(findIn<QLabel>(&picker, "Label1")->text(),
                 QStringLiteral("Send data as ASCII Characters or Hex?"));
        for (const QString& how : answers) {
            answer(picker, how);
            QVERIFY(!picker.isVisible());
        }
        QCOMPARE(picker.Cancel(), cancel);
        QCOMPARE(picker.SendAsCharacters(), asCharacters);
    }
};

QTEST_MAIN(TestCharacterPicker)
#include "tst_characterpicker.moc"
