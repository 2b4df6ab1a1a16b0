#include "AppFixture.h"
#include "Conversions.h"
#include "Decoders.h"
#include "PictureEncoding.h"
#include "SwitchPreview.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

// The switch data window driven as the operator drives it, against the virtual controller on a
// pseudo-terminal: what reaches the controller and what lands in files is read back.
class TestSwitchData : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    QWidget* window = nullptr;

    template <typename T> T* find(const char* name) const { return Child<T>(window, name); }
    QString text(const char* box) const { return find<QLineEdit>(box)->text(); }
    QString data() const
    {
        return find<QPlainTextEdit>("txtSwitchData")->toPlainText().remove(u'\n');
    }
    void click(const char* button) const
    {
        QTest::mouseClick(find<QWidget>(button), Qt::LeftButton);
    }
    void select(int entry) { Activate(find<QComboBox>("cmbFileName"), entry); }
    void import(const QString& path)
    {
        app->seam.openPaths.push_back(path);
        select(0);
    }
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        return WriteFile(app->samplePath(name), bytes) ? app->samplePath(name) : QString();
    }
    // The data text the window should show for a bitmap: its type's encoder, left to right.
    QString encoded(qint16 type, const QString& path, bool leftToRight = true) const
    {
        AppState state;
        state.LeftToRightFlag = leftToRight ? 1 : 0;
        return EncodeForType(type, path, state, app->seam);
    }
    void openWindow()
    {
        app->open("mnuSwitchData");
        window = app->find<QWidget>(QStringLiteral("frmSwitchDataFile"));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(app = AppFixture::started());
        openWindow();
    }
    void cleanup()
    {
        window = nullptr;
        app.reset();
    }

    // The window opens on the single picture screen's picture and shows its data at once, for
    // that picture's type even when another screen was used last.
    void opensOnTheSinglePicture()
    {
        window->parentWidget()->close();
        app->open("mnuBatchPictures");
        Activate(app->find<QComboBox>(QStringLiteral("cmbSwitchType")), 4);
        QCOMPARE(app->state.TypeCode, 5);
        openWindow();
        auto* files = find<QComboBox>("cmbFileName");
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->itemText(0), QString("Import"));
        QCOMPARE(files->currentText(), app->samplePath("Koala.bmp"));
        QCOMPARE(text("txtSwitchType"), QString("OLED 64x48"));
        QCOMPARE(text("txtAddress"), QString("0001"));
        QCOMPARE(data(), encoded(3, app->samplePath("Koala.bmp")));
        QCOMPARE(find<SwitchPreview>("picSwitchPreview")->picture(),
                 DecodeSwitchText(3, encoded(3, app->samplePath("Koala.bmp"))));
        QVERIFY(!find<QLabel>("picHolder")->pixmap().isNull());
    }

    // A bitmap is imported, downloaded, saved as a switch data file and imported again; the file
    // sends the same bytes, and the stored picture comes back by upload. "L to R" re-encodes the
    // bitmap entry and leaves the file's entry alone.
    void aBitmapTravelsAsSwitchData_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("address");
        QTest::newRow("LCD 64x32, rows turned round") << 2 << "LCD 64x32 Speaker.bmp"
                                                      << "01";
        QTest::newRow("COLOR 96x64") << 6 << "COLOR 96x64 Rocket.bmp"
                                     << "0001";
    }
    void aBitmapTravelsAsSwitchData()
    {
        QFETCH(int, type);
        QFETCH(QString, sample);
        const auto typeCode = qint16(type);
        app->setUpController(type);
        const QString bitmap = app->samplePath(sample);
        const QString expected = encoded(typeCode, bitmap);

        import(bitmap);
        QCOMPARE(text("txtSwitchType"), sample.section(u' ', 0, 1));
        QTEST(text("txtAddress"), "address");
        QCOMPARE(data(), expected);
        click("cmdDownloadSwitchData");
        QCOMPARE(app->form->panelText(4), QString("1 downloaded files"));
        QCOMPARE(app->controller.picture(1, typeCode)->payload, HexToBytes(expected));

        const QString saved = app->samplePath("saved.sd");
        app->seam.savePaths.push_back(saved);
        click("cmdSaveSwitchData");
        import(saved);
        QCOMPARE(text("txtSwitchType"), sample.section(u' ', 0, 1) + " SD");
        QCOMPARE(data(), expected);
        QVERIFY(find<QLabel>("picHolder")->isHidden());
        find<QLineEdit>("txtAddress")->setText("2");
        click("cmdDownloadSwitchData");
        QCOMPARE(app->controller.picture(2, typeCode)->payload, HexToBytes(expected));

        find<QCheckBox>("chkLtoR")->click();
        QCOMPARE(data(), expected);
        find<QCheckBox>("chkLtoR")->click();
        select(2);
        QCOMPARE(text("txtSwitchType"), sample.section(u' ', 0, 1));
        find<QCheckBox>("chkLtoR")->click();
        QCOMPARE(data(), encoded(typeCode, bitmap, false));
        find<QCheckBox>("chkLtoR")->click();
        QCOMPARE(data(), expected);

        const QImage sent = find<SwitchPreview>("picSwitchPreview")->picture();
        QVERIFY(!sent.isNull());
        click("cmdUploadData");
        QCOMPARE(data(), QString::fromLatin1(HexToBytes(expected).toHex().toUpper()) + "y");
        QCOMPARE(find<SwitchPreview>("picSwitchPreview")->picture(), sent);
        QCOMPARE(app->seam.shown(), QStringList());
    }

    // A file the window refuses is not listed, and the entry in force stays (which files are
    // refused is the switch data file test's). A hex-text file's first 8 bytes are skipped
    // whatever they hold, and so are its line breaks and spaces; a controller with nothing stored
    // gives an upload too short to show.
    void refusedAndHexTextFiles()
    {
        const QString before = data();
        import(writeFile("odd.sd", QByteArray(6152, 'Q')));
        QCOMPARE(app->seam.takeShown(),
                 QStringList("Vantrel: Invalid image attributes.\rFile Size: 6152"));
        QCOMPARE(find<QComboBox>("cmbFileName")->count(), 2);
        QCOMPARE(find<QComboBox>("cmbFileName")->currentIndex(), 1);
        QCOMPARE(data(), before);

        import(writeFile("data.txt", "5156\r\n52 3112 34\r\n56 78 9A\n"));
        QCOMPARE(data(), QString("31123456789A"));
        QCOMPARE(text("txtSwitchType"), QString("text"));
        click("cmdUploadData");
        QCOMPARE(data(), QString());
        QCOMPARE(find<SwitchPreview>("picSwitchPreview")->note(), QString("No picture data"));
        QCOMPARE(app->controller.counters().uploads, 1);
    }
};

QTEST_MAIN(TestSwitchData)
#include "tst_switchdata.moc"
