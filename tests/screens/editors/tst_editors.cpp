#include "AppState.h"
#include "AttributeEditors.h"
#include "EditorScreen.h"
#include "FileClassification.h"
#include "LcdAttributeEditor.h"
#include "OledAttributeEditor.h"
#include "QtWarnings.h"
#include "ScriptedUiSeam.h"
#include "TestKit.h"
#include "frmCharacter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

// The screen behind the editors: its address box, and the colour boxes it was handed.
class RecordingEditorScreen : public EditorScreen
{
public:
    QString editorAddressText() const override { return address; }
    void setEditorAddressText(const QString& text) override { address = text; }
    void setCycleColours(const QColor& on, const QColor&) override
    {
        onColour = on;
        ++colourChanges;
    }
    QString address = QStringLiteral("05");
    QColor onColour;
    int colourChanges = 0;
};

struct Fixture
{
    AppState state;
    ScriptedUiSeam seam;
    RecordingEditorScreen screen;
    AttributeEditors editors{state, seam, nullptr};
};

void showActive(QDialog& dialog)
{
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// Focus on the box selects its text, so typing replaces it.
void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(box->selectedText(), box->text());
    QTest::keyClicks(box, text);
}

// Tab away from the box and let its check run.
void leave(QLineEdit* box)
{
    QTest::keyClick(box, Qt::Key_Tab);
    QCoreApplication::processEvents();
}

// A real click: the button takes the focus from the box being edited first.
void clickWithMouse(QDialog& dialog, const char* button)
{
    QTest::mouseClick(Child<QAbstractButton>(&dialog, button), Qt::LeftButton);
    QCoreApplication::processEvents();
}

// "close" is the title-bar button, "escape" the key, anything else a button's name.
void end(QDialog& dialog, const QString& how)
{
    if (how == QLatin1String("close"))
        dialog.close();
    else if (how == QLatin1String("escape"))
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        Child<QAbstractButton>(&dialog, how)->click();
}

QSlider* slider(QDialog& dialog, const char* group, int k)
{
    return Child<QSlider>(&dialog, ControlArrayName(group, k));
}

QColor onCyclePreview(QDialog& dialog)
{
    return Child<QFrame>(&dialog, "picOnCycle")->palette().color(QPalette::Window);
}

} // namespace

// The attribute editors and the character picker, driven through their real controls: the
// records they split and join, the LED codes and colours of the LCD editors, the entry checks,
// and what goes back on each way out.
class TestEditors : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    // The editor of a type, with the type current as the screens make it.
    AttributeEditorDialog& editor(int type)
    {
        f->state.TypeCode = qint16(type);
        if (LcdAttributeEditor* lcd = f->editors.lcdEditorFor(qint16(type)))
            return *lcd;
        return *f->editors.oledEditorFor(qint16(type));
    }
    LcdAttributeEditor& lcd(int type) { return static_cast<LcdAttributeEditor&>(editor(type)); }
    QString record(int type)
    {
        LcdAttributeEditor* lcd = f->editors.lcdEditorFor(qint16(type));
        return lcd ? lcd->SwitchingAttributes()
                   : f->editors.oledEditorFor(qint16(type))->SwitchingAttributes();
    }

    // The LED and colour values the editors give a new LCD 64x32 picture.
    QStringList classifiedLcd64x32()
    {
        QTemporaryDir folder;
        const QString picture = folder.filePath(QStringLiteral("switch.bmp"));
        if (!WriteFile(picture, QByteArray(318, '\0')))
            return {};
        PictureFileRecords records{PictureFileRecord()};
        ClassifyFile(records, QFileInfo(picture), 1, f->state, f->editors.lcd64x32Defaults());
        const PictureFileRecord& r = records[1];
        return {r.LEDon, r.LEDoff, r.BackgroundColoron, r.BackgroundColoroff};
    }

private Q_SLOTS:
    void init()
    {
        FailOnQtWarnings();
        f = std::make_unique<Fixture>();
        f->editors.setScreen(&f->screen);
    }
    void cleanup()
    {
        f.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void ledCodeFromSliders_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<QString>("ledCode");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("36x24 red and blue on") << 1 << QList{2, 1, 2} << "5" << QColor(255, 0, 255);
        QTest::newRow("64x32 red 3 green 2 blue 4")
            << 2 << QList{3, 2, 4} << "9F" << QColor(128, 64, 255);
        QTest::newRow("64x32 all lowest") << 2 << QList{1, 1, 1} << "03" << QColor(0, 0, 0);
    }
    // The off sliders take the on positions in reverse, so the two codes differ.
    void ledCodeFromSliders()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, positions);
        QFETCH(QColor, colour);
        if (type == 2) // before any Select
            QCOMPARE(classifiedLcd64x32(), QStringList({"03", "03", "0", "0"}));
        LcdAttributeEditor& dialog = lcd(type);
        showActive(dialog);
        for (int k = 0; k < 3; ++k) {
            slider(dialog, "sdrLEDOn", k)->setValue(positions[k]);
            slider(dialog, "sdrLEDOff", k)->setValue(positions[2 - k]);
        }
        QCOMPARE(onCyclePreview(dialog), colour); // the preview follows the sliders at once
        end(dialog, "cmdSelect");
        QTEST(dialog.LEDon(), "ledCode");
        QCOMPARE(dialog.BackgroundColoron(),
                 QString::number(colour.red() + 256 * colour.green() + 65536 * colour.blue()));
        QCOMPARE(f->screen.onColour, colour);
        if (type == 2) // new pictures take the editor's values
            QCOMPARE(classifiedLcd64x32(),
                     (QStringList{dialog.LEDon(), dialog.LEDoff(), dialog.BackgroundColoron(),
                                  dialog.BackgroundColoroff()}));
        // Reopening sets every slider from the two codes again; the preview shows the record's
        // own colour number.
        for (int k = 0; k < 3; ++k) {
            slider(dialog, "sdrLEDOn", k)->setValue(1);
            slider(dialog, "sdrLEDOff", k)->setValue(1);
        }
        dialog.setBackgroundColoron(QString::number(0x123456));
        showActive(dialog);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(slider(dialog, "sdrLEDOn", k)->value(), positions[k]);
            QCOMPARE(slider(dialog, "sdrLEDOff", k)->value(), positions[2 - k]);
        }
        QCOMPARE(onCyclePreview(dialog), QColor(0x56, 0x34, 0x12));
        dialog.close();
    }

    // The fields and labels follow the switch count; an unset count opens as a pair, and hidden
    // fields keep their values in the record.
    void fieldsBySwitchCount()
    {
        const QStringList eight{"PM1:", "PM2:", "PM3", "PM4", "PM5", "PM6", "PM7:", "PM8:"};
        LcdAttributeEditor& dialog = lcd(1);
        for (const auto& [count, labels] :
             {std::pair{0, QStringList{"PM1:", "PM2:", "PT1", "PT2", "T1V", "T2V"}},
              {16, eight + QStringList{"PM9:", "PM10:", "PM11:", "PM12:", "PM13:", "PM14:", "PM15:",
                                       "PM16:"}}}) {
            const qint16 shownCount = qint16(std::max(count, 2));
            dialog.setNumbofSwitch(qint16(count));
            dialog.setSwitchingAttributes(QStringLiteral("0102030405060708090A0B0C0D0E0F10"));
            showActive(dialog);
            QCOMPARE(Child<QComboBox>(&dialog, "cmbNumbofSwchs")->currentText(),
                     QString::number(shownCount));
            QStringList visible;
            for (int i = 0; i < 16; ++i) {
                auto* label = Child<QLabel>(&dialog, ControlArrayName("lblAttributes1", i));
                QCOMPARE(
                    label->isVisible(),
                    Child<QLineEdit>(&dialog, ControlArrayName("txtAttributes", i))->isVisible());
                if (label->isVisible())
                    visible << label->text();
            }
            QCOMPARE(visible, labels);
            typeInto(Child<QLineEdit>(&dialog, "txtAttributes_0"), QStringLiteral("FF"));
            end(dialog, "cmdSelect");
            QCOMPARE(dialog.SwitchingAttributes(),
                     QStringLiteral("FF02030405060708090A0B0C0D0E0F10"));
            QCOMPARE(dialog.NumbofSwitch(), shownCount);
        }
    }

    // The OLED editors split a record into their fields, zeros where it is short, and join the
    // fields again on Select; digits beyond the fields are dropped.
    void oledFieldsOfRecord()
    {
        f->screen.address = QStringLiteral("0001");
        for (const auto& [type, record, fields] :
             {std::tuple{4, "", QStringList{"0000", "0000", "0000", "00", "00"}},
              {6, "0102030405060708FFFFFFFF", {"0102", "0304", "0506", "07", "08"}},
              {5,
               "00010002000300040506000700AB",
               {"0001", "0002", "0003", "0004", "05", "06", "0007", "00AB"}}}) {
            auto& dialog = static_cast<OledAttributeEditor&>(editor(type));
            dialog.setSwitchingAttributes(record);
            showActive(dialog);
            QStringList texts;
            for (int i = 0;
                 auto* box = dialog.findChild<QLineEdit*>(ControlArrayName("txtAttributes", i));
                 ++i)
                texts << box->text();
            QCOMPARE(texts, fields);
            QCOMPARE(Child<QLineEdit>(&dialog, "txtAddress")->text(), QStringLiteral("0001"));
            end(dialog, "cmdSelect");
            QCOMPARE(dialog.SwitchingAttributes(), fields.join(QString()));
        }
    }

    void entryChecks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shows");
        const auto row = [](const char* tag, int type, const char* box, const char* typed,
                            const char* shows) {
            QTest::newRow(tag) << type << QString(box) << QString(typed) << QString(shows);
        };
        row("LCD address 7 becomes 07", 2, "txtAddress", "7", "07");
        row("LCD address G refused", 2, "txtAddress", "G", "0G");
        row("LCD attribute a becomes 0A", 2, "txtAttributes_3", "a", "0A");
        row("LCD attribute 1G refused", 2, "txtAttributes_5", "1G", "1G");
        row("LCD attribute holds two digits", 2, "txtAttributes_0", "1FF", "1F");
        row("OLED pointer 7 becomes 0007", 3, "txtAttributes_2", "7", "0007");
        row("COLOR timer G refused", 6, "txtAttributes_4", "G", "0G");
    }
    void entryChecks()
    {
        QFETCH(int, type);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shows);
        bool hex = false;
        typed.toUInt(&hex, 16);
        const bool refused = !hex;
        AttributeEditorDialog& dialog = editor(type);
        showActive(dialog);
        QLineEdit* entry = Child<QLineEdit>(&dialog, box);
        typeInto(entry, typed);
        leave(entry);
        const QString refusal = QStringLiteral("Data must be in Hex format.");
        QTRY_COMPARE(f->seam.messageTexts(), refused ? QStringList{refusal} : QStringList());
        QCOMPARE(entry->text(), shows);
        QCOMPARE(entry->hasFocus(), refused);
        if (refused) {
            // Select refuses too while the entry stands, and says why once more; so does an LCD
            // editor's title bar, which takes the entries as selected, while an OLED one takes
            // nothing and closes. After a Cancel the LCD title bar takes nothing either.
            clickWithMouse(dialog, "cmdSelect");
            QVERIFY(dialog.isVisible());
            QTRY_VERIFY(entry->hasFocus());
            const bool lcd = type <= 2;
            dialog.close();
            QCOMPARE(dialog.isVisible(), lcd);
            if (lcd)
                clickWithMouse(dialog, "cmdCancel");
            showActive(dialog);
            typeInto(entry, typed);
            dialog.close();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(f->seam.takeShown(),
                     QStringList(lcd ? 3 : 2, "Input Data Message: " + refusal));
            QVERIFY(!record(type).contains(shows));
            return;
        }
        end(dialog, "cmdSelect");
        if (box == QLatin1String("txtAddress"))
            QCOMPARE(f->state.CurrentAddress, shows);
        else
            QVERIFY(record(type).contains(shows));
    }

    // Each row: how the openings ended; before the last ending the operator typed a timer value
    // and an address, and left the address box, which checks it whatever ending follows.
    void whatGoesBack_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("endings");
        QTest::addColumn<bool>("taken");
        const auto row = [](const char* tag, int type, const QStringList& endings, bool taken) {
            QTest::newRow(tag) << type << endings << taken;
        };
        row("LCD select", 1, {"cmdSelect"}, true);
        row("LCD cancel", 1, {"cmdCancel"}, false);
        row("LCD escape", 1, {"escape"}, false);
        row("LCD title bar, first opening", 1, {"close"}, true);
        row("LCD title bar after select", 1, {"cmdSelect", "close"}, true);
        row("LCD title bar after cancel", 1, {"cmdCancel", "close"}, false);
        // The OLED editors' title bar takes nothing.
        row("OLED select", 3, {"cmdSelect"}, true);
        row("OLED cancel", 3, {"cmdCancel"}, false);
        row("OLED title bar after select", 3, {"cmdSelect", "close"}, false);
        row("OLED title bar after cancel", 3, {"cmdCancel", "close"}, false);
    }
    void whatGoesBack()
    {
        QFETCH(int, type);
        QFETCH(QStringList, endings);
        QFETCH(bool, taken);
        // Cancel and Escape cancel the change; a title bar after them repeats that.
        const bool cancelChange = endings.contains("cmdCancel") || endings.contains("escape");
        // An LCD editor hands the address to the screen with the entries it takes; the OLED
        // editors hand it back on every ending.
        const QString screenAddress = type > 2 ? "00A0" : taken ? "A0" : "05";
        AttributeEditorDialog& dialog = editor(type);
        for (const QString& ending : endings.first(endings.size() - 1)) {
            showActive(dialog);
            end(dialog, ending);
        }
        f->screen.colourChanges = 0;
        showActive(dialog);
        typeInto(Child<QLineEdit>(&dialog, "txtAttributes_3"), QStringLiteral("11"));
        QLineEdit* address = Child<QLineEdit>(&dialog, "txtAddress");
        typeInto(address, QStringLiteral("A0"));
        leave(address);
        end(dialog, endings.last());

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.CancelChange(), cancelChange);
        QCOMPARE(record(type).contains(QLatin1String("11")), taken);
        QCOMPARE(f->screen.address, screenAddress);
        QCOMPARE(f->screen.colourChanges > 0, taken && type <= 2); // LCD colour boxes
        QCOMPARE(f->state.CurrentAddress, type <= 2 ? QString("A0") : QString("00A0"));
    }

    // "Charactor or Hex" keeps its choice between uses; only its two choice buttons change it.
    // Before any choice the data goes as written.
    void characterPicker()
    {
        frmCharacter& picker = f->editors.character();
        QCOMPARE(picker.windowTitle(), QStringLiteral("Charactor or Hex"));
        QCOMPARE(Child<QLabel>(&picker, "Label1")->text(),
                 QStringLiteral("Send data as ASCII Characters or Hex?"));
        for (const auto& [how, cancel, asCharacters] : {std::tuple{"cmbCancel", true, false},
                                                        {"cmbCharacter", false, true},
                                                        {"close", true, true},
                                                        {"escape", true, true},
                                                        {"cmbHex", false, false},
                                                        {"cmbCancel", true, false},
                                                        {"cmbCharacter", false, true}}) {
            // Opened as the download opens it: modal.
            QTimer::singleShot(0, &picker, [&picker, how] { end(picker, how); });
            picker.exec();
            QVERIFY(!picker.isVisible());
            QCOMPARE(picker.Cancel(), cancel);
            QCOMPARE(picker.SendAsCharacters(), asCharacters);
        }
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
