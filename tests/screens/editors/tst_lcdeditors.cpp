#include "AppState.h"
#include "AttributeEditors.h"
#include "EditorTestSupport.h"
#include "FileClassification.h"
#include "LcdAttributeEditor.h"
#include "ScriptedUiSeam.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>

#include <memory>

// The two LCD "Switch Attributes" editors, driven through their real controls: the LED codes and
// colours they compose, the fields by number of switches, and what goes back on each way out.
class TestLcdEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppState> state;
    std::unique_ptr<ScriptedUiSeam> seam;
    std::unique_ptr<RecordingEditorScreen> screen;
    std::unique_ptr<AttributeEditors> editors;

    LcdAttributeEditor& editor(qint16 typeCode)
    {
        state->TypeCode = typeCode;
        return *editors->lcdEditorFor(typeCode);
    }
    static QSlider* slider(QDialog& dialog, const char* group, int k)
    {
        return findIn<QSlider>(&dialog, ControlArrayName(group, k));
    }
    static QLineEdit* field(QDialog& dialog, int i)
    {
        return findIn<QLineEdit>(&dialog, ControlArrayName("txtAttributes", i));
    }
    static QColor shown(QDialog& dialog, const char* box)
    {
        return findIn<QFrame>(&dialog, QLatin1String(box))->palette().color(QPalette::Window);
    }

private Q_SLOTS:
    void init()
    {
        failOnQtWarnings();
        state = std::make_unique<AppState>();
        seam = std::make_unique<ScriptedUiSeam>();
        screen = std::make_unique<RecordingEditorScreen>();
        screen->address = QStringLiteral("05");
        editors = std::make_unique<AttributeEditors>(*state, *seam, nullptr);
        editors->setScreen(screen.get());
    }
    void cleanup()
    {
        editors.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void ledCodeFromSliders_data()
    {
        QTest::addColumn<qint16>("typeCode");
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QString>("ledCode");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("36x24 red and blue on")
            << qint16(1) << QList{2, 1, 2} << "5" << QColor(255, 0, 255);
        QTest::newRow("36x24 all off") << qint16(1) << QList{1, 1, 1} << "0" << QColor(0, 0, 0);
        QTest::newRow("36x24 red only") << qint16(1) << QList{2, 1, 1} << "1" << QColor(255, 0, 0);
        QTest::newRow("36x24 all on")
            << qint16(1) << QList{2, 2, 2} << "7" << QColor(255, 255, 255);
        QTest::newRow("64x32 red 3 green 2 blue 4")
            << qint16(2) << QList{3, 2, 4} << "9F" << QColor(128, 64, 255);
        QTest::newRow("64x32 all lowest") << qint16(2) << QList{1, 1, 1} << "03" << QColor(0, 0, 0);
        QTest::newRow("64x32 all highest")
            << qint16(2) << QList{4, 4, 4} << "FF" << QColor(255, 255, 255);
        QTest::newRow("64x32 red full") << qint16(2) << QList{4, 1, 1} << "C3" << QColor(255, 0, 0);
    }
    void ledCodeFromSliders()
    {
        QFETCH(qint16, typeCode);
        QFETCH(QList<int>, positions);
        QFETCH(QString, ledCode);
        QFETCH(QColor, colour);
        LcdAttributeEditor& dialog = editor(typeCode);
        showActive(dialog);
        for (int k = 0; k < 3; ++k) {
            slider(dialog, "sdrLEDOn", k)->setValue(positions[k]);
            slider(dialog, "sdrLEDOff", k)->setValue(positions[2 - k]);
        }
        QCOMPARE(shown(dialog, "picOnCycle"), colour); // the preview follows the sliders at once
        click(dialog, "cmdSelect");

        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.CancelChange());
        QCOMPARE(dialog.LEDon(), ledCode);
        QCOMPARE(dialog.BackgroundColoron(),
                 QString::number(colour.red() + 256 * colour.green() + 65536 * colour.blue()));
        QCOMPARE(screen->colours.first, colour);
        // Reopening sets every slider from the two codes again.
        showActive(dialog);
        for (int k = 0; k < 3; ++k) {
            slider(dialog, "sdrLEDOn", k)->setValue(1);
            slider(dialog, "sdrLEDOff", k)->setValue(1);
        }
        click(dialog, "cmdCancel");
        showActive(dialog);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(slider(dialog, "sdrLEDOn", k)->value(), positions[k]);
            QCOMPARE(slider(dialog, "sdrLEDOff", k)->value(), positions[2 - k]);
        }
        dialog.close();
    }

    void fieldsBySwitchCount_data()
    {
        QTest::addColumn<qint16>("count");
        QTest::addColumn<QString>("shownCount");
        QTest::addColumn<QStringList>("labels");
        const QStringList group{"PM1:", "PM2:", "PM3", "PM4", "PM5", "PM6", "PM7:", "PM8:"};
        QTest::newRow("pair") << qint16(2) << "2"
                              << QStringList{"PM1:", "PM2:", "PT1", "PT2", "T1V", "T2V"};
        QTest::newRow("unset count opens as pair")
            << qint16(0) << "2" << QStringList{"PM1:", "PM2:", "PT1", "PT2", "T1V", "T2V"};
        QTest::newRow("eight") << qint16(8) << "8" << group;
        QTest::newRow("sixteen") << qint16(16) << "16"
                                 << group + QStringList{"PM9:",  "PM10:", "PM11:", "PM12:",
                                                        "PM13:", "PM14:", "PM15:", "PM16:"};
    }
    void fieldsBySwitchCount()
    {
        QFETCH(qint16, count);
        QFETCH(QString, shownCount);
        QFETCH(QStringList, labels);
        LcdAttributeEditor& dialog = editor(1);
        dialog.setNumbofSwitch(count);
        dialog.setSwitchingAttributes(QStringLiteral("0102030405060708090A0B0C0D0E0F10"));
        showActive(dialog);
        QCOMPARE(findIn<QComboBox>(&dialog, "cmbNumbofSwchs")->currentText(), shownCount);
        QStringList visible;
        for (int i = 0; i < 16; ++i) {
            auto* label = findIn<QLabel>(&dialog, ControlArrayName("lblAttributes1", i));
            QCOMPARE(label->isVisible(), field(dialog, i)->isVisible());
            if (label->isVisible())
                visible << label->text();
        }
        QCOMPARE(visible, labels);
        // Hidden fields keep their values in the record.
        typeInto(field(dialog, 0), QStringLiteral("FF"));
        click(dialog, "cmdSelect");
        QCOMPARE(dialog.SwitchingAttributes(), QStringLiteral("FF02030405060708090A0B0C0D0E0F10"));
        QCOMPARE(dialog.NumbofSwitch(), shownCount.toShort());
    }

    void openingShowsRecord()
    {
        LcdAttributeEditor& dialog = editor(2);
        dialog.setLEDon(QStringLiteral("9F"));
        dialog.setLEDoff(QString());
        dialog.setBackgroundColoron(QString::number(0x123456));
        dialog.setSwitchingAttributes(QString());
        QCOMPARE(dialog.LEDoff(), QStringLiteral("0")); // empty texts are kept as the defaults
        QCOMPARE(dialog.SwitchingAttributes(), QString(32, QLatin1Char('0')));
        showActive(dialog);
        QCOMPARE(findIn<QLineEdit>(&dialog, "txtAddress")->text(), QStringLiteral("05"));
        const QList<int> on{3, 2, 4};
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(slider(dialog, "sdrLEDOn", k)->value(), on[k]);
            QCOMPARE(slider(dialog, "sdrLEDOff", k)->value(), 1);
        }
        QCOMPARE(shown(dialog, "picOnCycle"), QColor(0x56, 0x34, 0x12));
        for (int i = 0; i < 16; ++i)
            QCOMPARE(field(dialog, i)->text(), QStringLiteral("00"));
        dialog.close();
    }

    // Each row: how the openings ended; before the last ending the operator moved the red
    // on-slider up and typed a new address.
    void whatGoesBack_data()
    {
        QTest::addColumn<QStringList>("endings");
        QTest::addColumn<bool>("cancelChange");
        QTest::addColumn<bool>("taken");
        QTest::newRow("select") << QStringList{"cmdSelect"} << false << true;
        QTest::newRow("cancel") << QStringList{"cmdCancel"} << true << false;
        QTest::newRow("escape") << QStringList{"escape"} << true << false;
        QTest::newRow("title bar, first opening") << QStringList{"close"} << false << true;
        QTest::newRow("title bar after select")
            << QStringList{"cmdSelect", "close"} << false << true;
        QTest::newRow("title bar after cancel")
            << QStringList{"cmdCancel", "close"} << true << false;
    }
    void whatGoesBack()
    {
        QFETCH(QStringList, endings);
        QFETCH(bool, cancelChange);
        QFETCH(bool, taken);
        LcdAttributeEditor& dialog = editor(1);
        for (const QString& ending : endings.first(endings.size() - 1)) {
            showActive(dialog);
            end(dialog, ending);
        }
        screen->colourChanges = 0;
        showActive(dialog);
        slider(dialog, "sdrLEDOn", 0)->setValue(2);
        auto* address = findIn<QLineEdit>(&dialog, "txtAddress");
        typeInto(address, QStringLiteral("A"));
        leave(address);
        end(dialog, endings.last());

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.CancelChange(), cancelChange);
        QCOMPARE(dialog.LEDon(), taken ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(dialog.BackgroundColoron(), taken ? QStringLiteral("255") : QStringLiteral("0"));
        QCOMPARE(screen->address, taken ? QStringLiteral("0A") : QStringLiteral("05"));
        QCOMPARE(screen->colourChanges > 0, taken);
        QCOMPARE(state->CurrentAddress, QStringLiteral("0A")); // the accepted entry, either way
    }

    void entryChecks_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("address 7 becomes 07") << "txtAddress"
                                              << "7"
                                              << "07"
                                              << "";
        QTest::newRow("address G refused") << "txtAddress"
                                           << "G"
                                           << "0G"
                                           << "Data must be in Hex format.";
        QTest::newRow("attribute a becomes 0A") << "txtAttributes_3"
                                                << "a"
                                                << "0A"
                                                << "";
        QTest::newRow("attribute 1G refused") << "txtAttributes_5"
                                              << "1G"
                                              << "1G"
                                              << "Data must be in Hex format.";
        QTest::newRow("attribute holds two digits") << "txtAttributes_0"
                                                    << "1FF"
                                                    << "1F"
                                                    << "";
    }
    void entryChecks()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        LcdAttributeEditor& dialog = editor(2);
        showActive(dialog);
        auto* entry = findIn<QLineEdit>(&dialog, box);
        typeInto(entry, typed);
        leave(entry);
        QTRY_COMPARE(seam->messageTexts(),
                     message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(entry->text(), shown);
        QCOMPARE(entry->hasFocus(), !message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(seam->messages.first().title, QStringLiteral("Input Data Message"));
            // Select refuses too while the entry stands, and says why once more; Cancel closes
            // without a word.
            clickWithMouse(dialog, "cmdSelect");
            QVERIFY(dialog.isVisible());
            QTRY_VERIFY(entry->hasFocus());
            clickWithMouse(dialog, "cmdCancel");
            QVERIFY(!dialog.isVisible());
            QCOMPARE(seam->messages.size(), 2);
            return;
        }
        click(dialog, "cmdSelect");
        QVERIFY(!dialog.isVisible());
        if (box == QLatin1String("txtAddress"))
            QCOMPARE(state->CurrentAddress, shown);
        else
            QVERIFY(dialog.SwitchingAttributes().contains(shown));
    }

    // Closing with the title-bar button takes the entries as selected, so a wrong one keeps the
    // window open; after a Cancel it takes nothing and closes.
    void titleBarWithWrongEntry_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<bool>("stays");
        QTest::newRow("after select") << "cmdSelect" << true;
        QTest::newRow("after cancel") << "cmdCancel" << false;
    }
    void titleBarWithWrongEntry()
    {
        QFETCH(QString, previous);
        QFETCH(bool, stays);
        LcdAttributeEditor& dialog = editor(1);
        showActive(dialog);
        click(dialog, qPrintable(previous));
        showActive(dialog);
        typeInto(field(dialog, 2), QStringLiteral("X"));
        dialog.close();
        QCOMPARE(dialog.isVisible(), stays);
        QCOMPARE(seam->messageTexts(),
                 stays ? QStringList{"Data must be in Hex format."} : QStringList());
        QCOMPARE(dialog.SwitchingAttributes(), QString(32, QLatin1Char('0')));
        if (stays)
            click(dialog, "cmdCancel");
    }

    // New LCD 64x32 pictures take the editor's current LED and colour values.
    void classificationTakesEditorValues()
    {
        QTemporaryDir folder;
        QFile picture(folder.filePath(QStringLiteral("switch.bmp")));
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.write(QByteArray(318, '\0'));
        picture.close();
        auto classify = [&] {
            PictureFileRecords records{PictureFileRecord()};
            ClassifyFile(records, QFileInfo(picture.fileName()), 1, *state,
                         editors->lcd64x32Defaults());
            const PictureFileRecord& r = records[1];
            return QStringList{r.LEDon, r.LEDoff, r.BackgroundColoron, r.BackgroundColoroff};
        };
        QCOMPARE(classify(), QStringList({"03", "03", "0", "0"}));

        LcdAttributeEditor& dialog = editor(2);
        showActive(dialog);
        slider(dialog, "sdrLEDOn", 2)->setValue(4);
        slider(dialog, "sdrLEDOff", 0)->setValue(2);
        click(dialog, "cmdSelect");
        QCOMPARE(classify(), QStringList({"0F", "43", "16711680", "64"}));
    }
};

QTEST_MAIN(TestLcdEditors)
#include "tst_lcdeditors.moc"
