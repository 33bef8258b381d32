#ifndef DIALOG_TEST_H
#define DIALOG_TEST_H

#include <QDialog>
#include <QList>

#include <memory>

class QLineEdit;
class QPushButton;
class Singleton_SerialPort;

namespace Ui {
class Dialog_Test;
}

// Shows, for every input card slot, output card slot and the system board,
// whether a card answered and what it reports, with a green or red lamp.
// Display only: the worker's version read refills it.
class Dialog_Test : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog_Test(Singleton_SerialPort *link, bool isEnglish, QWidget *parent = nullptr);
    ~Dialog_Test() override;

public slots:
    // Refills every field and lamp from the card versions of the record.
    void InitPage();
    void setLanguage(bool isEnglish);

private:
    QList<QLineEdit *> m_inEdits;
    QList<QPushButton *> m_inLamps;
    QList<QLineEdit *> m_outEdits;
    QList<QPushButton *> m_outLamps;
    Singleton_SerialPort *m_link;
    std::unique_ptr<Ui::Dialog_Test> ui;
};

#endif // DIALOG_TEST_H
