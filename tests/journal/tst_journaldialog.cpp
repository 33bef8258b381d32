#include <dialog_journal.h>
#include <journal.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs answer on the next modal window of type T once it is shown (a
// file dialog, a message box), as the operator would.
template<typename T>
void whenShown(const std::function<void(T *)> &answer)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        answer(window);
    });
    poll->start(10);
}

// Puts the whole path in the file dialog's name field and clicks Save.
// selectFile() would not do: Qt 5 leaves the field alone once it has the
// focus, which a slower machine gives it before this runs.
void typeFileName(const QString &path)
{
    whenShown<QFileDialog>([path](QFileDialog *dialog) {
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QPushButton *save = buttons ? buttons->button(QDialogButtonBox::Save) : nullptr;
        if (name)
            name->setText(path);
        if (!save || !save->isEnabled()) {
            dialog->reject(); // never leave the test waiting on a modal dialog
            QFAIL("the file dialog does not take the name");
        }
        QTest::mouseClick(save, Qt::LeftButton);
    });
}

} // namespace

class TestJournalDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void filterByProcessorAndExport();
    void failedExportIsSaid();

private:
    QStringList column(int column) const;
    template<typename T>
    T *child(const char *name) const
    {
        return m_dialog->findChild<T *>(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<Dialog_Journal> m_dialog;
};

void TestJournalDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_journal = std::make_unique<Journal>(m_dir->filePath(QStringLiteral("journal.db")));
    QVERIFY(m_journal->open());
    const QStringList names{QStringLiteral("Left"), QStringLiteral("Centre"), QStringLiteral("Right")};
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < 9; ++i) {
        JournalEntry entry;
        entry.time = now.addSecs(qint64(-60) * i);
        entry.processor = i % 3 + 1;
        entry.processorName = names.at(i % 3);
        entry.kind = QStringLiteral("recall");
        entry.what = QStringLiteral("=recall M%1").arg(i);
        m_journal->settle(m_journal->record(entry), JournalEntry::Result::Confirmed);
    }
    QVERIFY(m_journal->flush());
    m_dialog = std::make_unique<Dialog_Journal>(m_journal.get(), names, true);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TestJournalDialog::cleanup()
{
    m_dialog.reset();
    m_journal.reset();
}

QStringList TestJournalDialog::column(int column) const
{
    const QAbstractItemModel *model = child<QTableView>("table")->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

void TestJournalDialog::filterByProcessorAndExport()
{
    QCOMPARE(column(1).size(), 9);
    auto *processor = child<QComboBox>("processorBox");
    processor->setFocus();
    QTest::keyClick(processor, Qt::Key_Down);
    QTest::keyClick(processor, Qt::Key_Down);
    QTest::mouseClick(child<QPushButton>("refreshButton"), Qt::LeftButton);
    QCOMPARE(column(1), QStringList({"2 Centre", "2 Centre", "2 Centre"}));
    QCOMPARE(column(4), QStringList({"=recall M1", "=recall M4", "=recall M7"}));

    const QString path = m_dir->filePath(QStringLiteral("shown.csv"));
    typeFileName(path);
    QTest::mouseClick(child<QPushButton>("exportButton"), Qt::LeftButton);
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 5); // header, three rows, the last line's end
    QVERIFY(lines.at(1).contains(",2,Centre,recall,'=recall M1,confirmed,"));
    QVERIFY(lines.at(3).contains("'=recall M7"));

    // The language switches while the dialog is open.
    m_dialog->setEnglish(false);
    QCOMPARE(child<QTableView>("table")->model()->headerData(1, Qt::Horizontal).toString(),
             QString::fromUtf8("处理器"));
    QCOMPARE(column(5).first(), QString::fromUtf8("已确认"));
    QCOMPARE(child<QDialogButtonBox>("buttonBox")->button(QDialogButtonBox::Close)->text(), QString::fromUtf8("关闭"));
}

void TestJournalDialog::failedExportIsSaid()
{
    const QString path = m_dir->filePath(QStringLiteral("missing/journal.csv"));
    typeFileName(path);
    QString said;
    whenShown<QMessageBox>([&said](QMessageBox *box) {
        said = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseClick(child<QPushButton>("exportButton"), Qt::LeftButton);
    QVERIFY(said.contains(path));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TestJournalDialog)
#include "tst_journaldialog.moc"
