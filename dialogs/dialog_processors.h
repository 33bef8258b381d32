#ifndef DIALOG_PROCESSORS_H
#define DIALOG_PROCESSORS_H

#include <bilingual.h>
#include <stationsettings.h>

#include <QDialog>
#include <QList>

#include <memory>

namespace Ui {
class Dialog_Processors;
}

// The processors of the station: each one's name and link (TCP address and
// port, or serial port). Processors are added at the end and removed from
// the end, as each one's number names the folder of its files; the link
// of one that is linked now is changed only after it is unlinked. OK keeps
// the list only when every row can be used.
class Dialog_Processors : public QDialog
{
    Q_OBJECT

public:
    // linked[i]: processor i is linked now.
    Dialog_Processors(const QList<StationSettings::Processor> &processors, const QList<bool> &linked, bool english,
                      QWidget *parent = nullptr);
    ~Dialog_Processors() override;

    QList<StationSettings::Processor> processors() const { return m_processors; }

private:
    enum Column { Name, Type, Address, Port, SerialPort };

    void setTexts();
    void addRow(const StationSettings::Processor &processor, bool linked);
    void updateButtons();
    // The row as a processor, or the reason it cannot be one.
    QString rowAt(int row, StationSettings::Processor *processor) const;
    void accept() override;

    std::unique_ptr<Ui::Dialog_Processors> ui;
    Bilingual m_text;
    QList<StationSettings::Processor> m_processors;
    int m_kept; // rows of the processors there when the dialog opened
};

#endif // DIALOG_PROCESSORS_H
