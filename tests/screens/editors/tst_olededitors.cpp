#include "AppState.h"
#include "AttributeEditors.h"
#include "EditorTestSupport.h"
#include "OledAttributeEditor.h"
#include "ScriptedUiSeam.h"

#include <QApplication>

#include <memory>

// The OLED and MONO 96x64 "Switch Attributes" editors: how the record splits into fields and
// joins again, the field checks, and what goes back on each way out.
class TestOledEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppState> state;
    std::unique_ptr<ScriptedUiSeam> seam;
    std::unique_ptr<RecordingEditorScreen> screen;
    std::unique_ptr<AttributeEditors> editors;

    OledAttributeEditor& editor(qint16 typeCode)
    {
        state->TypeCode = typeCode;
        return *editors->oledEditorFor(typeCode);
    }
    static QStringList fieldTexts(QDialog& dialog)
    {
        QStringList texts;
        for (int i = 0;
             auto* box = dialog.findChild<QLineEdit*>(ControlArrayName("txtAttributes", i)); ++i)
            texts << box->text();
        return texts;
    }

private Q_SLOTS:
    void init()
    {
        failOnQtWarnings();
        state = std::make_unique<AppState>();
        seam = std::make_unique<ScriptedUiSeam>();
        screen = std::make_unique<RecordingEditorScreen>();
        screen->address = QStringLiteral("0001");
        editors = std::make_unique<AttributeEditors>(*state, *seam, nullptr);
        editors->setScreen(screen.get());
    }
    void cleanup()
    {
        editors.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void fieldsOfRecord_data()
    {
        QTest::addColumn<qint16>("typeCode");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("selected");
        QTest::newRow("OLED bytes 01 to 08")
            << qint16(3) << "0102030405060708" << QStringList{"0102", "0304", "0506", "07", "08"}
            << "0102030405060708";
        QTest::newRow("OLED empty record gives 16 zeros")
            << qint16(4) << "" << QStringList{"0000", "0000", "0000", "00", "00"}
            << QString(16, QLatin1Char('0'));
        QTest::newRow("COLOR digits beyond the fields dropped")
            << qint16(6) << "0102030405060708FFFFFFFF"
            << QStringList{"0102", "0304", "0506", "07", "08"} << "0102030405060708";
        QTest::newRow("MONO empty record gives 28 zeros")
            << qint16(5) << ""
            << QStringList{"0000", "0000", "0000", "0000", "00", "00", "0000", "0000"}
            << QString(28, QLatin1Char('0'));
        QTest::newRow("MONO fields in order")
            << qint16(5) << "00010002000300040506000700AB"
            << QStringList{"0001", "0002", "0003", "0004", "05", "06", "0007", "00AB"}
            << "00010002000300040506000700AB";
    }
    void fieldsOfRecord()
    {
        QFETCH(qint16, typeCode);
        QFETCH(QString, record);
        QFETCH(QStringList, fields);
        QFETCH(QString, selected);
        OledAttributeEditor& dialog = editor(typeCode);
        dialog.setSwitchingAttributes(record);
        showActive(dialog);
        QCOMPARE(fieldTexts(dialog), fields);
        QCOMPARE(findIn<QLineEdit>(&dialog, "txtAddress")->text(), QStringLiteral("0001"));
        click(dialog, "cmdSelect");
        QVERIFY(!dialog.CancelChange());
        QCOMPARE(dialog.SwitchingAttributes(), selected);
    }

    void entryChecks_data()
    {
        QTest::addColumn<qint16>("typeCode");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("pointer 7 becomes 0007") << qint16(3) << "txtAttributes_2"
                                                << "7"
                                                << "0007"
                                                << "";
        QTest::newRow("timer holds two digits") << qint16(3) << "txtAttributes_3"
                                                << "1FF"
                                                << "1F"
                                                << "";
        QTest::newRow("timer G refused") << qint16(6) << "txtAttributes_4"
                                         << "G"
                                         << "0G"
                                         << "Data must be in Hex format.";
        QTest::newRow("address 1 becomes 0001") << qint16(4) << "txtAddress"
                                                << "1"
                                                << "0001"
                                                << "";
        QTest::newRow("address x refused") << qint16(3) << "txtAddress"
                                           << "x"
                                           << "000x"
                                           << "Data must be in Hex format.";
    }
    void entryChecks()
    {
        QFETCH(qint16, typeCode);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        OledAttributeEditor& dialog = editor(typeCode);
        showActive(dialog);
        auto* entry = findIn<QLineEdit>(&dialog, box);
        typeInto(entry, typed);
        leave(entry);
        QTRY_COMPARE(seam->messageTexts(),
                     message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(entry->text(), shown);
        QCOMPARE(entry->hasFocus(), !message.isEmpty());
        if (box == QLatin1String("txtAddress") && message.isEmpty())
            QCOMPARE(state->CurrentAddress, shown);
        click(dialog, "cmdCancel");
    }

    // Each row: how the openings ended; before the last ending the operator typed a new timer
    // value and a new address.
    void whatGoesBack_data()
    {
        QTest::addColumn<QStringList>("endings");
        QTest::addColumn<bool>("cancelChange");
        QTest::addColumn<QString>("record");
        const QString before = QStringLiteral("0102030405060708");
        QTest::newRow("select") << QStringList{"cmdSelect"} << false << "0102030405061108";
        QTest::newRow("cancel") << QStringList{"cmdCancel"} << true << before;
        QTest::newRow("escape") << QStringList{"escape"} << true << before;
        QTest::newRow("title bar after select")
            << QStringList{"cmdSelect", "close"} << false << before;
        QTest::newRow("title bar after cancel")
            << QStringList{"cmdCancel", "close"} << true << before;
    }
    void whatGoesBack()
    {
        QFETCH(QStringList, endings);
        QFETCH(bool, cancelChange);
        QFETCH(QString, record);
        OledAttributeEditor& dialog = editor(3);
        dialog.setSwitchingAttributes(QStringLiteral("0102030405060708"));
        for (const QString& ending : endings.first(endings.size() - 1)) {
            showActive(dialog);
            end(dialog, ending);
        }
        showActive(dialog);
        typeInto(findIn<QLineEdit>(&dialog, "txtAttributes_3"), QStringLiteral("11"));
        typeInto(findIn<QLineEdit>(&dialog, "txtAddress"), QStringLiteral("00A0"));
        end(dialog, endings.last());

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.CancelChange(), cancelChange);
        QCOMPARE(dialog.SwitchingAttributes(), record);
        QCOMPARE(screen->address, QStringLiteral("00A0")); // the address goes back every time
    }
};

QTEST_MAIN(TestOledEditors)
#include "tst_olededitors.moc"
