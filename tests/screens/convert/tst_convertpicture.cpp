// The Convert dialogs as the operator uses them: a photo imported on the single picture screen is
// converted, previewed as the library converts it, saved and selected; a folder is converted with
// the settings left by the picture dialog; broken pictures are named and nothing is written.
#include "AppFixture.h"
#include "PictureConversion.h"
#include "SamplePhoto.h"
#include "SwitchPreview.h"
#include "SwitchTypeCode.h"
#include "frmConvertPicture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

const QByteArray Broken = "\x89PNG broken";

class ConvertPictureTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importedPhotoIsConvertedSavedAndSelected()
    {
        AppFixture app;
        QVERIFY(app.start());
        const QString source = app.samplePath(QStringLiteral("harbour.png"));
        QVERIFY(SamplePhoto({800, 600}).save(source));
        app.choosePicture(source);
        auto* dialog = app.find<frmConvertPicture>(QStringLiteral("frmConvertPicture"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(app.find<QLineEdit>(QStringLiteral("txtSource"))->text(),
                 QDir::toNativeSeparators(source));

        dialog->findChild<QComboBox*>(QStringLiteral("cmbSwitchType"))->setCurrentIndex(4);
        dialog->findChild<QComboBox*>(QStringLiteral("cmbDither"))->setCurrentIndex(1);
        dialog->findChild<QComboBox*>(QStringLiteral("cmbRotation"))->setCurrentIndex(2);
        const ConversionSettings settings = dialog->settings();
        QCOMPARE(settings.typeCode, SwitchTypeCode::Mono96x64);
        QCOMPARE(settings.dither, PictureDither::FloydSteinberg);
        QCOMPARE(settings.rotation, 180);
        const QByteArray expected = ConvertToBitmap(ReadSourcePicture(source).image, settings);
        QCOMPARE(dialog->findChild<SwitchPreview*>(QStringLiteral("picConverted"))->picture(),
                 SwitchViewOfBitmap(SwitchTypeCode::Mono96x64, expected, true));

        const QString saved = app.samplePath(QStringLiteral("MONO 96x64 harbour.bmp"));
        app.seam.savePaths.push_back(saved);
        dialog->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        QCOMPARE(ReadFile(saved), expected);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(app.find<QComboBox>(QStringLiteral("cmbFileName"))->currentText(), saved);
        QCOMPARE(app.find<QLineEdit>(QStringLiteral("txtSwitchType"))->text(),
                 QStringLiteral("MONO 96x64"));
        QCOMPARE(app.seam.dialogs.last(),
                 QStringLiteral("Save Converted Picture|bmp files (*.bmp)|*.bmp"));
    }

    void brokenPictureIsNamedAndNothingSaved()
    {
        AppFixture app;
        QVERIFY(app.start());
        const QString broken = app.samplePath(QStringLiteral("broken.png"));
        QVERIFY(WriteFile(broken, Broken));
        app.seam.openPaths.push_back(broken);
        app.open("mnuConvertPicture");
        auto* dialog = app.find<frmConvertPicture>(QStringLiteral("frmConvertPicture"));
        const QStringList shown = app.seam.takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith("Convert Picture: broken.png cannot be converted: "),
                 qPrintable(shown[0]));
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("cmdSave"))->isEnabled());
        dialog->close();
    }

    // The folder dialog starts from the picture dialog's last settings, refuses to write among the
    // pictures themselves, asks before replacing, and names the picture it could not convert.
    void folderConvertsWithTheRememberedSettings()
    {
        AppFixture app;
        QVERIFY(app.start());
        QTemporaryDir in, out;
        for (const char* name : {"a.png", "b.jpg", "c.bmp"})
            QVERIFY(SamplePhoto({800, 600}).save(in.filePath(QString::fromLatin1(name))));
        QVERIFY(WriteFile(in.filePath(QStringLiteral("d.png")), Broken));
        QVERIFY(SamplePhoto({800, 600}).save(out.filePath(QStringLiteral("a.bmp"))));

        app.seam.openPaths.push_back(in.filePath(QStringLiteral("a.png")));
        app.open("mnuConvertPicture");
        auto* picture = app.find<frmConvertPicture>(QStringLiteral("frmConvertPicture"));
        picture->findChild<QComboBox*>(QStringLiteral("cmbSwitchType"))->setCurrentIndex(1);
        picture->findChild<QCheckBox*>(QStringLiteral("chkInvert"))->setChecked(true);
        const ConversionSettings settings = picture->settings();
        picture->close();

        app.seam.folderPaths = {in.path(), in.path(), out.path()};
        app.open("mnuConvertFolder");
        auto* folder = app.find<frmConvertPicture>(QStringLiteral("frmConvertFolder"));
        QCOMPARE(folder->settings(), settings);
        QCOMPARE(folder->findChild<QComboBox*>(QStringLiteral("cmbFolderPictures"))->count(), 4);
        auto* convert = folder->findChild<QPushButton*>(QStringLiteral("cmdSave"));
        convert->click(); // into the pictures' own folder: refused
        QCOMPARE(app.seam.takeShown(),
                 QStringList("Convert Folder: Choose another folder for the bitmaps: in the "
                             "pictures' own folder a bitmap could replace the picture it was made "
                             "from."));
        app.seam.answers.push_back(MessageAnswer::Yes);
        convert->click();
        QTRY_COMPARE(app.seam.messages.size(), 2);
        const QList<ShownMessage> said = app.seam.takeMessages();
        QCOMPARE(said[0].text, QStringLiteral("1 of the bitmaps are already in %1.\rReplace them?")
                                   .arg(QDir::toNativeSeparators(out.path())));
        const QString report = said[1].text;
        QVERIFY2(report.startsWith(QStringLiteral("3 of 4 pictures written to %1, ready for "
                                                  "Import Batch.\r\rNot converted:\rd.png "
                                                  "cannot be converted: ")
                                       .arg(QDir::toNativeSeparators(out.path()))),
                 qPrintable(report));
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            QCOMPARE(QFileInfo(out.filePath(QString::fromLatin1(name))).size(), 318);
        QCOMPARE(ReadFile(out.filePath(QStringLiteral("b.bmp"))),
                 ConvertToBitmap(ReadSourcePicture(in.filePath(QStringLiteral("b.jpg"))).image,
                                 settings));
        folder->close();
    }
};

QTEST_MAIN(ConvertPictureTest)
#include "tst_convertpicture.moc"
