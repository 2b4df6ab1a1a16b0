#include "AddressDelegate.h"
#include "AppFixture.h"
#include "ControllerLink.h"
#include "ControllerViewModel.h"
#include "Decoders.h"
#include "PictureCopies.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>

namespace {

// A controller memory the test writes into directly.
class ScriptedMemory final : public ControllerMemory
{
public:
    QList<StoredPicture> pictures() const override { return held; }
    QList<StoredPicture> held;
};

StoredPicture Solid(qint16 typeCode, quint16 address, char byte)
{
    return {typeCode, address, QByteArray(PayloadBytes(typeCode), byte)};
}

} // namespace

// The controller view: what the link reports fills it in, the built-in controller's memory
// keeps it in step, and the grid can be filed as one picture.
class TestControllerView : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;

    template <typename T = QPushButton> T* w(const char* screen, const char* name)
    {
        return Child<T>(app->find<QWidget>(screen), name);
    }
    // Imports `count` copies of the LCD 64x32 sample on the batch picture screen.
    void importLcdPictures(const QString& folder, int count)
    {
        QVERIFY(WriteCopies(folder, ReadFile(app->samplePath("LCD 64x32 Speaker.bmp")), count));
        app->setUpController(SwitchTypeCode::Lcd64x32);
        app->importBatch(SwitchTypeCode::Lcd64x32, folder + QStringLiteral("/pic00000.bmp"));
    }

private Q_SLOTS:
    void init() { QVERIFY(app = AppFixture::started()); }
    void cleanup() { app.reset(); }

    // A batch in which the controller refuses a picture once, then pictures refused outright:
    // every address shows what it holds, the file, the outcome, and was marked while being sent.
    void batchOfMixedOutcomes()
    {
        app->open("mnuControllerView");
        auto* grid = w<QListView>("frmControllerView", "lstAddresses");
        auto& model = *qobject_cast<ControllerViewModel*>(grid->model());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList marked;
        ControllerLink& link = app->form->link();
        connect(&link, &ControllerLink::transferStarted, this, [&] {
            model.flush();
            for (int row = 0; row < model.rowCount(); ++row) {
                if (model.index(row, 0).data(ControllerViewModel::SendingRole).toBool())
                    marked << model.index(row, 0).data().toString();
            }
        });

        QTemporaryDir batch;
        app->open("mnuBatchPictures");
        importLcdPictures(batch.path(), 4);
        app->controller.failNextPictures(1);
        app->seam.answers = {MessageAnswer::No}; // no refresh of the controller afterwards
        w("frmBatchPicture", "cmdDownloadBatch")->click();
        QCOMPARE(marked, (QStringList{"01", "01", "02", "03", "04"}));

        // Refused outright: a new address shows the picture that was refused; one that held a
        // picture keeps it.
        app->controller.setMisbehaviour(Misbehaviour::RefuseAll);
        const QString other = QString::fromLatin1(QByteArray(512, 'F'));
        for (const char* address : {"02", "0A"}) {
            link.setTransferSource(QStringLiteral("/pictures/other.bmp"));
            link.TransferData(true, QLatin1String(address), other);
        }
        model.flush();

        QCOMPARE(ColumnTexts(&model, 0, ControllerViewModel::AddressRole),
                 (QStringList{"01", "02", "03", "04", "0A"}));
        QCOMPARE(ColumnTexts(&model, 0, ControllerViewModel::SourceRole),
                 (QStringList{"pic00000.bmp", "other.bmp", "pic00002.bmp", "pic00003.bmp",
                              "other.bmp"}));
        QCOMPARE(ColumnTexts(&model, 0, ControllerViewModel::OutcomeRole),
                 (QStringList{"stored", "refused", "stored", "stored", "refused"}));
        for (quint16 address = 1; address <= 4; ++address) {
            QCOMPARE(model.index(address - 1, 0).data(ControllerViewModel::PayloadRole),
                     app->controller.picture(address, SwitchTypeCode::Lcd64x32)->payload);
        }
        QCOMPARE(model.index(4, 0).data(ControllerViewModel::PayloadRole).toByteArray(),
                 QByteArray(256, '\xFF'));
        QVERIFY(model.index(0, 0).data(ControllerViewModel::SentRole).toDateTime().isValid());
        QCOMPARE(model.index(1, 0).data(Qt::DecorationRole).value<QImage>().size(), QSize(64, 32));
        QVERIFY(!ColumnTexts(&model, 0, ControllerViewModel::SendingRole).contains("true"));

        // A double-click uploads the address and says whether the controller holds what is shown.
        app->controller.setMisbehaviour(Misbehaviour::None);
        const QRect cell = grid->visualRect(model.index(1, 0));
        // A double-click arrives after the press of its first click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(app->form->panelText(2), QString("Address 02 holds the picture shown"));
    }

    // The memory read directly: a full memory arrives as one rebuilt list, a picture stored or
    // an address cleared since as a change of its row.
    void followsMemory()
    {
        ControllerViewModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        ScriptedMemory memory;
        for (quint16 address = 1; address <= 100; ++address)
            memory.held << Solid(SwitchTypeCode::Mono96x64, address, char(address));
        model.followMemory(&memory);
        QCOMPARE(model.rowCount(), 100);
        QCOMPARE(model.index(0, 0).data(ControllerViewModel::OutcomeRole).toString(),
                 QString("in memory"));

        memory.held.removeFirst();
        memory.held[9].payload.fill('\x55');
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        Q_EMIT memory.memoryChanged();
        Q_EMIT memory.memoryChanged();
        QVERIFY(changed.wait());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(reset.size(), 0);
        QCOMPARE(changed.first().at(0).value<QModelIndex>().row(), 0);
        QCOMPARE(changed.first().at(1).value<QModelIndex>().row(), 10);
        QVERIFY(model.index(0, 0).data(ControllerViewModel::PayloadRole).toByteArray().isEmpty());
        QCOMPARE(model.index(10, 0).data(ControllerViewModel::PayloadRole).toByteArray(),
                 memory.held[9].payload);
    }

    // "Save Contact Sheet": the grid as one PNG, a line of cells per eight addresses, each cell
    // showing its address's picture.
    void savesContactSheet()
    {
        app->open("mnuControllerView");
        auto* grid = w<QListView>("frmControllerView", "lstAddresses");
        auto& model = *qobject_cast<ControllerViewModel*>(grid->model());
        for (quint16 address = 1; address <= 10; ++address) {
            model.recordTransfer({Solid(SwitchTypeCode::Color96x64, address, char(address * 25)),
                                  QStringLiteral("p.bmp"), ReplyOutcome::Done},
                                 QDateTime::currentDateTime());
        }
        model.flush();
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("sheet"));
        app->seam.savePaths.push_back(path);
        w("frmControllerView", "cmdSaveContactSheet")->click();
        QCOMPARE(app->seam.dialogs.last(), QString("Save Contact Sheet|PNG files (*.png)|*.png"));

        const QImage sheet(path + QStringLiteral(".png"));
        const QSize cell = AddressDelegate::cellSize(QFontMetrics(grid->font()));
        QCOMPARE(sheet.size(), QSize(8 * cell.width(), 2 * cell.height()));
        const auto pictureOf = [&cell](int row) {
            return QPoint((row % 8) * cell.width() + cell.width() / 2,
                          (row / 8) * cell.height() + cell.width() / 3);
        };
        for (int row = 0; row < 10; ++row) {
            const QImage shown = DecodeSwitchPicture(
                SwitchTypeCode::Color96x64,
                model.index(row, 0).data(ControllerViewModel::PayloadRole).toByteArray());
            QCOMPARE(QColor(sheet.pixel(pictureOf(row))), QColor(shown.pixel(0, 0)));
        }
        // The cells after the last address are left blank.
        QCOMPARE(QColor(sheet.pixel(pictureOf(15))), QColor(sheet.pixel(0, 0)));
    }
};

QTEST_MAIN(TestControllerView)
#include "tst_controllerview.moc"
